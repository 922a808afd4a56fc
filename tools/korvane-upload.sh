#!/bin/sh
# One unattended upload from the module into a chosen folder, for a timer or a cron job:
#   korvane-upload FOLDER [OPTION...]
# The memory file (appended) and the configuration file get their dated default names in FOLDER.
# Options replace the default "/erase /config". The program is $KORVANE, else korvane on the PATH.
# The result line with a time stamp: on standard output after a success, on standard error after
# a failure, whose reasons are there too. Exit status 0 success, 1 failure, 2 wrong usage.
if [ $# -eq 0 ] || [ -z "$1" ]; then
    echo "usage: korvane-upload FOLDER [OPTION...]" >&2
    exit 2
fi
folder=$1
shift
[ $# -gt 0 ] || set -- /erase /config
mkdir -p -- "$folder" && cd -- "$folder" || exit 1

# The GNU form of the run options: the exit status says whether the upload succeeded.
result=$("${KORVANE:-korvane}" --auto --silent "$@")
status=$?
if [ "$status" -eq 0 ]; then
    echo "$(date '+%F %T') $result"
else
    echo "$(date '+%F %T') ${result:-no result line}" >&2
fi
exit "$status"
