<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CommandLine</name>
    <message>
        <source>unattended run: connect, upload the memory, then the
configuration (--config), erase the module (--erase, only
after a complete upload), end</source>
        <translation>unbeaufsichtigter Lauf: verbinden, den Speicher auslesen, dann die
Konfiguration (--config), das Modul löschen (--erase, nur
nach vollständigem Auslesen), beenden</translation>
    </message>
    <message>
        <source>no window and no progress dialog</source>
        <translation>kein Fenster und kein Fortschrittsdialog</translation>
    </message>
    <message>
        <source>erase the module&apos;s memory at the end of an unattended run</source>
        <translation>den Modulspeicher am Ende eines unbeaufsichtigten Laufs löschen</translation>
    </message>
    <message>
        <source>also upload the configuration record</source>
        <translation>auch den Konfigurationsdatensatz auslesen</translation>
    </message>
    <message>
        <source>the memory file, appended to
(default MemFile_YYYY_MM_DD.csv or FaultLog_...)</source>
        <translation>die Speicherdatei, an die angehängt wird
(Standard MemFile_YYYY_MM_DD.csv oder FaultLog_...)</translation>
    </message>
    <message>
        <source>the configuration file, replaced
(default ConfigFile_YYYY_MM_DD.csv or FaultConfig_...)</source>
        <translation>die Konfigurationsdatei, die ersetzt wird
(Standard ConfigFile_YYYY_MM_DD.csv oder FaultConfig_...)</translation>
    </message>
    <message>
        <source>a one-second beep at start</source>
        <translation>ein Signalton von einer Sekunde beim Start</translation>
    </message>
    <message>
        <source>end at once</source>
        <translation>sofort beenden</translation>
    </message>
    <message>
        <source>show this help and end</source>
        <translation>diese Hilfe zeigen und beenden</translation>
    </message>
    <message>
        <source>show the version and end</source>
        <translation>die Version zeigen und beenden</translation>
    </message>
    <message>
        <source>check every upload recorded in MEMORY-FILE.uploads against
the file and end (exit status 0: all intact, 1: something
differs, 2: no readable record)</source>
        <translation>jedes in MEMORY-FILE.uploads verzeichnete Auslesen mit der
Datei vergleichen und beenden (Exit-Status 0: alles intakt,
1: etwas weicht ab, 2: kein lesbares Verzeichnis)</translation>
    </message>
    <message>
        <source>write the records the module logged in MEMORY-FILE as CSV,
times with their offset from UTC, and end (exit status 0;
1: an upload differs from its record; 2: the file or its
record cannot be read)</source>
        <translation>die vom Modul aufgezeichneten Datensätze in MEMORY-FILE als CSV
ausgeben, Zeiten mit ihrem Abstand zu UTC, und beenden (Exit-Status 0;
1: ein Auslesen weicht von seinem Eintrag ab; 2: die Datei oder
ihr Verzeichnis kann nicht gelesen werden)</translation>
    </message>
    <message>
        <source>with --records: the times in UTC</source>
        <translation>mit --records: die Zeiten in UTC</translation>
    </message>
    <message>
        <source>store the settings profile PROFILE (.dcf) after the connect
and read it back; when that fails nothing is uploaded</source>
        <translation>nach dem Verbinden das Einstellungsprofil PROFILE (.dcf)
speichern und zurücklesen; scheitert das, wird nichts ausgelesen</translation>
    </message>
    <message>
        <source>save the module&apos;s settings into PROFILE (.dcf, replaced
whole) and end (exit status 0; 1: nothing saved)</source>
        <translation>die Einstellungen des Moduls in PROFILE sichern (.dcf, ganz
ersetzt) und enden (Exit-Status 0; 1: nichts gesichert)</translation>
    </message>
    <message>
        <source>also the toolkit&apos;s own messages on standard error
(as KORVANE_DEBUG=1 does)</source>
        <translation>auch die eigenen Meldungen des Toolkits auf der Standardfehlerausgabe
(wie KORVANE_DEBUG=1)</translation>
    </message>
    <message>
        <source>talk to the module at node-ID N (1-127) in this unattended
run; interface.ini keeps its own</source>
        <translation>in diesem unbeaufsichtigten Lauf mit dem Modul an Knoten-ID N
(1-127) sprechen; interface.ini behält die eigene</translation>
    </message>
    <message>
        <source>show the uploads and records of MEMORY-FILE in a window,
with a filter and a timeline; it only reads the file</source>
        <translation>die Auslesungen und Datensätze von MEMORY-FILE in einem Fenster
zeigen, mit Filter und Zeitleiste; die Datei wird nur gelesen</translation>
    </message>
    <message>
        <source>list the modules on the configured interface&apos;s bus as CSV
and end (exit status 0: a module answered, 1: none did,
2: the interface cannot be opened)</source>
        <translation>die Module am Bus der eingestellten Schnittstelle als CSV
ausgeben und enden (Exit-Status 0: ein Modul hat geantwortet,
1: keines, 2: die Schnittstelle lässt sich nicht öffnen)</translation>
    </message>
</context>
<context>
    <name>MemoryFileViewer</name>
    <message>
        <source>&amp;UTC</source>
        <translation>&amp;UTC</translation>
    </message>
    <message>
        <source>&amp;All Times</source>
        <translation>&amp;Alle Zeiten</translation>
    </message>
    <message>
        <source>Memory File - %1</source>
        <translation>Speicherdatei - %1</translation>
    </message>
    <message>
        <source>Uploaded (UTC)</source>
        <translation>Ausgelesen (UTC)</translation>
    </message>
    <message>
        <source>Node-ID</source>
        <translation>Node-ID</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfung</translation>
    </message>
    <message>
        <source>Uploads</source>
        <translation>Auslesungen</translation>
    </message>
    <message>
        <source>Filter: text in the records</source>
        <translation>Filter: Text in den Datensätzen</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Datensätze</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>No upload record; read as &amp;Memory Mode:</source>
        <translation>Kein Auslese-Protokoll; lesen mit &amp;Speichermodus:</translation>
    </message>
    <message>
        <source>&amp;Delimeter:</source>
        <translation>&amp;Trennzeichen:</translation>
    </message>
    <message>
        <source>&amp;Fixed Length:</source>
        <translation>&amp;Feste Länge:</translation>
    </message>
    <message>
        <source>&amp;Stamp:</source>
        <translation>&amp;Zeitstempel:</translation>
    </message>
    <message>
        <source>Reading %1 ...</source>
        <translation>%1 wird gelesen ...</translation>
    </message>
    <message>
        <source>Reading ... %1 %</source>
        <translation>Lesen ... %1 %</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>no upload record</source>
        <translation>kein Auslese-Protokoll</translation>
    </message>
    <message>
        <source>checking ...</source>
        <translation>wird geprüft ...</translation>
    </message>
    <message>
        <source>not recorded: read as one upload</source>
        <translation>nicht protokolliert: als eine Auslesung gelesen</translation>
    </message>
    <message>
        <source>Selecting ...</source>
        <translation>Auswahl ...</translation>
    </message>
    <message>
        <source>%1 of %2 records</source>
        <translation>%1 von %2 Datensätzen</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>in Ordnung</translation>
    </message>
</context>
<context>
    <name>ModuleIdentity</name>
    <message>
        <source>serial %1</source>
        <translation>Seriennummer %1</translation>
    </message>
    <message>
        <source>Module: %1</source>
        <translation>Modul: %1</translation>
    </message>
    <message>
        <source>Serial number: %1</source>
        <translation>Seriennummer: %1</translation>
    </message>
    <message>
        <source>Vendor-ID: %1</source>
        <translation>Hersteller-ID: %1</translation>
    </message>
    <message>
        <source>Product code: %1</source>
        <translation>Produktcode: %1</translation>
    </message>
    <message>
        <source>Hardware: %1</source>
        <translation>Hardware: %1</translation>
    </message>
    <message>
        <source>Software: %1</source>
        <translation>Software: %1</translation>
    </message>
    <message>
        <source>Revision: %1</source>
        <translation>Revision: %1</translation>
    </message>
</context>
<context>
    <name>RecordTableModel</name>
    <message>
        <source>configuration</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Auslesung</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Datensatz</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>SettingsCompareView</name>
    <message>
        <source>Settings Profile</source>
        <translation>Einstellungsprofil</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Module</source>
        <translation>Modul</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Settings of the module and of the profile</source>
        <translation>Einstellungen des Moduls und des Profils</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>weicht ab</translation>
    </message>
    <message numerus="yes">
        <source>Settings of %1 that differ from the module&apos;s: %n of ten. The Settings page shows the profile&apos;s values; &quot;Download Settings&quot; stores them.</source>
        <translation>
            <numerusform>Einstellungen von %1, die von denen des Moduls abweichen: %n von zehn. Die Seite „Einstellungen“ zeigt die Werte des Profils; „Einstellungen speichern“ speichert sie.</numerusform>
            <numerusform>Einstellungen von %1, die von denen des Moduls abweichen: %n von zehn. Die Seite „Einstellungen“ zeigt die Werte des Profils; „Einstellungen speichern“ speichert sie.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Program icon</source>
        <translation>Programmsymbol</translation>
    </message>
    <message>
        <source>Product Name</source>
        <translation>Produktname</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TForm_Korvane</name>
    <message>
        <source>%1 Bytes Uploaded</source>
        <translation>%1 Bytes ausgelesen</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>Operation: Complete</source>
        <translation>Vorgang: abgeschlossen</translation>
    </message>
    <message>
        <source>Upload Failed!</source>
        <translation>Auslesen fehlgeschlagen!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Operation: Failed</source>
        <translation>Vorgang: fehlgeschlagen</translation>
    </message>
    <message>
        <source>Korvane - CANopen Memory Module, by Velmora</source>
        <translation>Korvane – CANopen-Speichermodul, von Velmora</translation>
    </message>
    <message>
        <source>Comma Seperated Values(*.csv)|*.csv|CANopen Memory Files (*.cmf)|*.cmf|All Files (*.*)|*.*</source>
        <translation>Kommagetrennte Werte (*.csv)|*.csv|CANopen-Speicherdateien (*.cmf)|*.cmf|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Connection:Offline</source>
        <translation>Verbindung: offline</translation>
    </message>
    <message>
        <source>Operation:</source>
        <translation>Vorgang:</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Interface</source>
        <translation>&amp;Schnittstelle</translation>
    </message>
    <message>
        <source>&amp;Configuration</source>
        <translation>&amp;Konfiguration</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Auslesen</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Connection Status:</source>
        <translation>Verbindungsstatus:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>Ungültig</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>Simulated</source>
        <translation>Simuliert</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Online</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>Configuration file</source>
        <translation>Konfigurationsdatei</translation>
    </message>
    <message>
        <source>The file that Upload Configuration writes the module&apos;s configuration into</source>
        <translation>Die Datei, in die „Konfiguration auslesen“ die Konfiguration des Moduls schreibt</translation>
    </message>
    <message>
        <source>Choose the configuration file...</source>
        <translation>Konfigurationsdatei wählen …</translation>
    </message>
    <message>
        <source>&amp;Upload Configuration</source>
        <translation>&amp;Konfiguration auslesen</translation>
    </message>
    <message>
        <source>Memory file</source>
        <translation>Speicherdatei</translation>
    </message>
    <message>
        <source>The file that Upload Memory appends the module&apos;s memory to</source>
        <translation>Die Datei, an die „Speicher auslesen“ den Speicherinhalt des Moduls anhängt</translation>
    </message>
    <message>
        <source>Choose the memory file...</source>
        <translation>Speicherdatei wählen …</translation>
    </message>
    <message>
        <source>&amp;Append Config/Memory</source>
        <translation>Konfig./Speicher &amp;anhängen</translation>
    </message>
    <message>
        <source>Upload &amp;Memory</source>
        <translation>S&amp;peicher auslesen</translation>
    </message>
    <message>
        <source>&amp;Erase Memory</source>
        <translation>Speicher &amp;löschen</translation>
    </message>
    <message>
        <source> (simulated module)</source>
        <translation> (simuliertes Modul)</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>Feste Länge</translation>
    </message>
    <message>
        <source>Delimeter</source>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>Node ID:</source>
        <translation>Knoten-ID:</translation>
    </message>
    <message>
        <source>Baud:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <source>Memory Mode:</source>
        <translation>Speichermodus:</translation>
    </message>
    <message>
        <source>Fixed Length:</source>
        <translation>Feste Länge:</translation>
    </message>
    <message>
        <source>Delimeter:</source>
        <translation>Trennzeichen:</translation>
    </message>
    <message>
        <source>&amp;Ring Buffer Mode</source>
        <translation>&amp;Ringpuffer-Modus</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Betriebsart:</translation>
    </message>
    <message>
        <source>&amp;MemModule</source>
        <translation>Speicher&amp;modul</translation>
    </message>
    <message>
        <source>CAN Data/Fault &amp;Logger</source>
        <translation>CAN-Daten-/Fehler-&amp;Logger</translation>
    </message>
    <message>
        <source>Time Format:</source>
        <translation>Uhrzeitformat:</translation>
    </message>
    <message>
        <source>Date Format:</source>
        <translation>Datumsformat:</translation>
    </message>
    <message>
        <source>Auto Time/Date Stamp:</source>
        <translation>Automatischer Zeitstempel:</translation>
    </message>
    <message>
        <source>E&amp;nable</source>
        <translation>Akti&amp;vieren</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Set &amp;Time/Date</source>
        <translation>&amp;Uhrzeit/Datum stellen</translation>
    </message>
    <message>
        <source>&amp;Upload Settings</source>
        <translation>Einstellungen &amp;auslesen</translation>
    </message>
    <message>
        <source>&amp;Download Settings</source>
        <translation>Einstellungen s&amp;peichern</translation>
    </message>
    <message>
        <source>Operation: Uploading ConfigFile</source>
        <translation>Vorgang: Konfiguration wird ausgelesen</translation>
    </message>
    <message>
        <source>Cannot write the configuration into the memory file %1</source>
        <translation>Die Konfiguration kann nicht in die Speicherdatei %1 geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Cannot read the configuration!</source>
        <translation>Die Konfiguration kann nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Die Datei %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Interface is not in correct mode!</source>
        <translation>Die Schnittstelle ist nicht im richtigen Modus!</translation>
    </message>
    <message>
        <source>Cannot Open Interface</source>
        <translation>Die Schnittstelle kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Connection:Online</source>
        <translation>Verbindung: online</translation>
    </message>
    <message>
        <source>Settings cannot be read!</source>
        <translation>Die Einstellungen können nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Operation: Disconnecting</source>
        <translation>Vorgang: Verbindung wird getrennt</translation>
    </message>
    <message>
        <source>Module Connection Lost!</source>
        <translation>Die Verbindung zum Modul ist unterbrochen!</translation>
    </message>
    <message>
        <source>Module Memory Erased!</source>
        <translation>Der Modulspeicher wurde gelöscht!</translation>
    </message>
    <message>
        <source>Cannot Erase!</source>
        <translation>Löschen nicht möglich!</translation>
    </message>
    <message>
        <source>Operation: Erasing</source>
        <translation>Vorgang: Speicher wird gelöscht</translation>
    </message>
    <message>
        <source>Module is not Blank<byte value="xd"/>
<byte value="xd"/>
Continue Erase?</source>
        <translation>Das Modul ist nicht leer.<byte value="xd"/>
<byte value="xd"/>
Trotzdem löschen?</translation>
    </message>
    <message>
        <source>Caution</source>
        <translation>Achtung</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>the file cannot be written (%1)</source>
        <translation>die Datei kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>Upload incomplete: %1. The module memory was not cleared.</source>
        <translation>Auslesen unvollständig: %1. Der Modulspeicher wurde nicht gelöscht.</translation>
    </message>
    <message>
        <source>Upload incomplete: %1. The file was left as it was and the module memory was not cleared.</source>
        <translation>Auslesen unvollständig: %1. Die Datei blieb unverändert, und der Modulspeicher wurde nicht gelöscht.</translation>
    </message>
    <message>
        <source>Upload cancelled: the module memory was not cleared.</source>
        <translation>Auslesen abgebrochen: Der Modulspeicher wurde nicht gelöscht.</translation>
    </message>
    <message>
        <source>a memory block could not be read</source>
        <translation>ein Speicherblock konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The module memory was not cleared: %1.</source>
        <translation>Der Modulspeicher wurde nicht gelöscht: %1.</translation>
    </message>
    <message>
        <source>Clear Module Memory</source>
        <translation>Modulspeicher löschen?</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Frage</translation>
    </message>
    <message>
        <source>Operation: Uploading Memory</source>
        <translation>Vorgang: Speicher wird ausgelesen</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>The module announced %1 bytes but sent %2; its memory was not cleared.</source>
        <translation>Das Modul hat %1 Bytes angekündigt, aber %2 gesendet; sein Speicher wurde nicht gelöscht.</translation>
    </message>
    <message>
        <source>The module did not accept the device mode!<byte value="xd"/>
<byte value="xd"/>
The other settings were stored.</source>
        <translation>Das Modul hat die Betriebsart nicht übernommen!<byte value="xd"/>
<byte value="xd"/>
Die übrigen Einstellungen wurden gespeichert.</translation>
    </message>
    <message>
        <source>Settings Stored!</source>
        <translation>Einstellungen gespeichert!</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Settings cannot be stored!<byte value="xd"/>
<byte value="xd"/>
Make sure Module is blank<byte value="xd"/>
before changing modes!</source>
        <translation>Die Einstellungen können nicht gespeichert werden!<byte value="xd"/>
<byte value="xd"/>
Das Modul muss leer sein,<byte value="xd"/>
bevor die Betriebsart geändert wird!</translation>
    </message>
    <message>
        <source>Settings Read!</source>
        <translation>Einstellungen gelesen!</translation>
    </message>
    <message>
        <source>Settings have changed!<byte value="xd"/>
 Do you want to save to device?</source>
        <translation>Die Einstellungen wurden geändert!<byte value="xd"/>
 Sollen sie im Modul gespeichert werden?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>&amp;Open Settings...</source>
        <translation>Einstellungen ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Save Settings &amp;As...</source>
        <translation>Einstellungen speichern &amp;unter...</translation>
    </message>
    <message>
        <source>The module did not keep every setting it was sent!</source>
        <translation>Das Modul hat nicht jede gesendete Einstellung übernommen!</translation>
    </message>
    <message>
        <source>Device configuration files (*.dcf);;All files (*)</source>
        <translation>Gerätekonfigurationsdateien (*.dcf);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Save Settings As</source>
        <translation>Einstellungen speichern unter</translation>
    </message>
    <message>
        <source>Operation: Settings Saved</source>
        <translation>Vorgang: Einstellungen gesichert</translation>
    </message>
    <message>
        <source>Settings cannot be saved!</source>
        <translation>Die Einstellungen können nicht gesichert werden!</translation>
    </message>
    <message>
        <source>The settings profile is for another product.<byte value="xd"/>
<byte value="xd"/>
Open it anyway?</source>
        <translation>Das Einstellungsprofil gehört zu einem anderen Produkt.<byte value="xd"/>
<byte value="xd"/>
Trotzdem öffnen?</translation>
    </message>
    <message>
        <source>The settings profile cannot be read!</source>
        <translation>Das Einstellungsprofil kann nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Einstellungen öffnen</translation>
    </message>
    <message>
        <source> - node-ID %1</source>
        <translation> - Knoten-ID %1</translation>
    </message>
    <message>
        <source>Serial: %1</source>
        <translation>Seriennr.: %1</translation>
    </message>
    <message>
        <source>&amp;View Memory File...</source>
        <translation>Speicherdatei &amp;ansehen...</translation>
    </message>
    <message>
        <source>View Memory File</source>
        <translation>Speicherdatei ansehen</translation>
    </message>
    <message>
        <source>Memory files (*.csv *.CSV);;All files (*)</source>
        <translation>Speicherdateien (*.csv *.CSV);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>TForm_Progress</name>
    <message>
        <source>Uploading Memory</source>
        <translation>Speicher wird ausgelesen</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Upload progress</source>
        <translation>Fortschritt des Auslesens</translation>
    </message>
    <message>
        <source>Bytes Uploaded:</source>
        <translation>Ausgelesene Bytes:</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>TForm_SetTimeDate</name>
    <message>
        <source>Set Time/Date</source>
        <translation>Uhrzeit/Datum stellen</translation>
    </message>
    <message>
        <source>Module Time/Date:</source>
        <translation>Uhrzeit/Datum des Moduls:</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>New Time/Date:</source>
        <translation>Neue Uhrzeit/Datum:</translation>
    </message>
    <message>
        <source>&amp;Set Time/Date</source>
        <translation>Uhrzeit/Datum &amp;setzen</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>S&amp;ync with PC</source>
        <translation>Mit &amp;PC abgleichen</translation>
    </message>
    <message>
        <source>&amp;Measure</source>
        <translation>&amp;Messen</translation>
    </message>
    <message>
        <source>Cannot Set Time!</source>
        <translation>Die Uhrzeit kann nicht gestellt werden!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Cannot Set Date!</source>
        <translation>Das Datum kann nicht gestellt werden!</translation>
    </message>
    <message>
        <source>Ok!</source>
        <translation>OK!</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Module clock: offset not measured</source>
        <translation>Moduluhr: Abweichung nicht gemessen</translation>
    </message>
</context>
<context>
    <name>TVrAccessible</name>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
</context>
<context>
    <name>TimelineWidget</name>
    <message>
        <source>Records per interval</source>
        <translation>Datensätze je Intervall</translation>
    </message>
    <message>
        <source>No record has a time stamp</source>
        <translation>Kein Datensatz hat einen Zeitstempel</translation>
    </message>
</context>
<context>
    <name>clocksync</name>
    <message>
        <source>Module clock: %1 s ahead of the PC</source>
        <translation>Moduluhr: %1 s vor dem PC</translation>
    </message>
    <message>
        <source>Module clock: %1 s behind the PC</source>
        <translation>Moduluhr: %1 s hinter dem PC</translation>
    </message>
    <message>
        <source>Clock: module %1 s ahead of the PC</source>
        <translation>Uhr: Modul %1 s vor dem PC</translation>
    </message>
    <message>
        <source>Clock: module %1 s behind the PC</source>
        <translation>Uhr: Modul %1 s hinter dem PC</translation>
    </message>
</context>
<context>
    <name>korvane::config::ConfigurationDialog</name>
    <message>
        <source>Interface Configuration</source>
        <translation>Schnittstellenkonfiguration</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen …</translation>
    </message>
    <message>
        <source>The saved interface configuration was refused, so the defaults are proposed here: %1</source>
        <translation>Die gespeicherte Schnittstellenkonfiguration wurde abgelehnt, daher werden hier die Standardwerte vorgeschlagen: %1</translation>
    </message>
    <message>
        <source>Transport:</source>
        <translation>Übertragung:</translation>
    </message>
    <message>
        <source>CAN plugin:</source>
        <translation>CAN-Plugin:</translation>
    </message>
    <message>
        <source>CAN device:</source>
        <translation>CAN-Gerät:</translation>
    </message>
    <message>
        <source>Serial port:</source>
        <translation>Serielle Schnittstelle:</translation>
    </message>
    <message>
        <source>Serial line rate:</source>
        <translation>Baudrate der seriellen Leitung:</translation>
    </message>
    <message>
        <source>Connection type:</source>
        <translation>Verbindungsart:</translation>
    </message>
    <message>
        <source>Node-ID:</source>
        <translation>Knoten-ID:</translation>
    </message>
    <message>
        <source>Bit rate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Answer timeout:</source>
        <translation>Antwort-Zeitlimit:</translation>
    </message>
    <message>
        <source>Module state file:</source>
        <translation>Zustandsdatei des Moduls:</translation>
    </message>
    <message>
        <source>Module State File</source>
        <translation>Zustandsdatei des Moduls</translation>
    </message>
    <message>
        <source>Module state (*.json);;All files (*)</source>
        <translation>Modulzustand (*.json);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Simulated module</source>
        <translation>Simuliertes Modul</translation>
    </message>
    <message>
        <source>CAN adapter (Qt CAN plugin)</source>
        <translation>CAN-Adapter (Qt-CAN-Plugin)</translation>
    </message>
    <message>
        <source>Serial-line CAN adapter</source>
        <translation>CAN-Adapter an serieller Leitung</translation>
    </message>
    <message>
        <source>&amp;Find Modules...</source>
        <translation>Module &amp;suchen...</translation>
    </message>
</context>
<context>
    <name>korvane::config::FindModulesDialog</name>
    <message>
        <source>Find Modules</source>
        <translation>Module suchen</translation>
    </message>
    <message>
        <source>Node-ID</source>
        <translation>Knoten-ID</translation>
    </message>
    <message>
        <source>Device type</source>
        <translation>Gerätetyp</translation>
    </message>
    <message>
        <source>Vendor-ID</source>
        <translation>Hersteller-ID</translation>
    </message>
    <message>
        <source>Product code</source>
        <translation>Produktcode</translation>
    </message>
    <message>
        <source>Revision</source>
        <translation>Revision</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>Listening on the bus, then asking node-IDs 1 to 127...</source>
        <translation>Am Bus lauschen, dann die Knoten-IDs 1 bis 127 fragen...</translation>
    </message>
    <message>
        <source>&amp;Use Node-ID</source>
        <translation>Knoten-ID &amp;übernehmen</translation>
    </message>
    <message>
        <source>The bus cannot be searched: %1</source>
        <translation>Der Bus kann nicht durchsucht werden: %1</translation>
    </message>
    <message>
        <source>No module answered at %1 bit/s. The bit rate may be wrong, or no module is connected.</source>
        <translation>Bei %1 bit/s hat kein Modul geantwortet. Vielleicht stimmt die Bitrate nicht, oder es ist kein Modul angeschlossen.</translation>
    </message>
    <message>
        <source>One module found. Choose it to use its node-ID.</source>
        <translation>Ein Modul gefunden. Wählen Sie es, um seine Knoten-ID zu übernehmen.</translation>
    </message>
    <message>
        <source>%1 modules found. Choose one to use its node-ID.</source>
        <translation>%1 Module gefunden. Wählen Sie eines, um seine Knoten-ID zu übernehmen.</translation>
    </message>
</context>
</TS>
