#!/bin/sh
# One unattended upload from the module into a chosen folder, for a timer or a cron job:
#   korvane-upload.sh FOLDER [OPTION...]
# The memory file (appended) and the configuration file get their dated default names in FOLDER.
# Options replace the default "/erase /config". The program is $KORVANE, else korvane on the PATH.
# Exit code 0 only when the result line says the upload succeeded; the reasons of a failure are on
# standard error.
folder=${1:?usage: korvane-upload.sh FOLDER [OPTION...]}
shift
[ $# -gt 0 ] || set -- /erase /config
mkdir -p "$folder" && cd "$folder" || exit 1

# The exit code is the byte count (capped at 254), so the result line decides.
result=$("${KORVANE:-korvane}" /auto /silent "$@")
case "$result" in
*" Bytes Uploaded")
    echo "$(date '+%F %T') $result"
    ;;
*)
    echo "$(date '+%F %T') ${result:-no result line}" >&2
    exit 1
    ;;
esac
