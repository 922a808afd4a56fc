// Shared set-up of the upload, erase and automation tests: the real window and binding over the
// real driver library, a simulated module with a given state, scripted message boxes, waits that
// take no time, and a folder for the upload files.
#pragma once

#include "app/TForm_Korvane.h"

#include "app/FileNameEdit.h"
#include "app/PanelStatusBar.h"
#include "support/ScriptedMessageBox.h"
#include "support/FakeServices.h"
#include "support/SimulatedModule.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using Box = platform::ScriptedMessageBox::Call;
using platform::MessageBoxButtons;
using platform::MessageBoxResult;

// A module state: its memory (any bytes), optionally its configuration record and faults.
inline QJsonObject ModuleState(const QByteArray& memory, const QJsonObject& faults = {})
{
    QJsonObject state{{"memory_hex", QString::fromLatin1(memory.toHex())}};
    if (!faults.isEmpty())
        state.insert("faults", faults);
    return state;
}

// Log records as a module keeps them: lines ended by a line feed.
inline QByteArray LogRecords(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += QByteArray("2026/03/05 12:") + QByteArray::number(10 + i % 50) + ",0x18" +
                   QByteArray::number(i % 10) + ",8,01 02 03 04 05 06 07 08\n";
    return records;
}

inline QByteArray AsTextFile(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n");
}

class ModuleOperationTest : public ::testing::Test
{
protected:
    // Puts the module in place and builds the window. The upload files lie in the test's
    // folder, given as "/fm" and "/fc" give them, so that connecting keeps them.
    void Prepare(const QJsonObject& state)
    {
        module.emplace(state);
        form = std::make_unique<TForm_Korvane>();
        form->AdvFileNameEdit_FileName->setText(Path("mem.csv"));
        form->MemoryFileGiven = true;
        form->AdvFileNameEdit_Config->setText(Path("cfg.csv"));
        form->ConfigFileGiven = true;
    }

    // Prepares, connects, and forgets what the connect said.
    void Connect(const QJsonObject& state)
    {
        Prepare(state);
        ASSERT_TRUE(form->ConnectModule());
        ASSERT_TRUE(form->Connected);
        boxes.ClearCalls();
    }

    QString Path(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void Put(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QString OperationText() const { return form->StatusBar1->panelText(1); }

    // The erase waits: one 5000 ms sleep per erase the module took.
    int EraseWaits() const
    {
        int waits = 0;
        for (uint32_t ms : services.Sleeps())
            waits += ms == 5000;
        return waits;
    }

    static Box Ok(const QString& text, const char* caption) { return {text, caption, MessageBoxButtons::OK}; }

    QTemporaryDir dir;
    platform::FakeServices services;
    platform::ScriptedMessageBox boxes;
    std::optional<testsupport::SimulatedModule> module;
    std::unique_ptr<TForm_Korvane> form;
};
