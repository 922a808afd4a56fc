#!/bin/sh
# Unattended uploads from the module into a chosen folder, for a timer or a cron job:
#   korvane-upload FOLDER [--nodes LIST|all] [OPTION...]
# The memory file (appended) and the configuration file get their dated default names in FOLDER.
# With --nodes, one upload per module, each into FOLDER/<serial number>/ (FOLDER/node-N/ when the
# module gives none): LIST is a comma list of node-IDs, "all" the modules korvane --scan finds.
# Options replace the default "/erase /config". The program is $KORVANE, else korvane on the PATH.
# One result line per upload with a time stamp: on standard output after a success, on standard
# error after a failure, whose reasons are there too. Exit status 0 when every upload succeeded,
# 1 failure, 2 wrong usage.
usage() {
    echo "usage: korvane-upload FOLDER [--nodes LIST|all] [OPTION...]" >&2
    exit 2
}
[ $# -gt 0 ] && [ -n "$1" ] || usage
folder=$1
shift
nodes=
if [ "$1" = --nodes ]; then
    [ -n "$2" ] || usage
    nodes=$2
    shift 2
fi
[ $# -gt 0 ] || set -- /erase /config
korvane=${KORVANE:-korvane}

# One upload into the folder $1 (created), its result line starting with $2; the run's options after them.
upload() {
    dir=$1
    prefix=$2
    shift 2
    result=$(mkdir -p -- "$dir" && cd -- "$dir" && "$korvane" --auto --silent "$@")
    status=$?
    if [ "$status" -eq 0 ]; then
        echo "$(date '+%F %T') $prefix$result"
    else
        echo "$(date '+%F %T') $prefix${result:-no result line}" >&2
    fi
    return "$status"
}

if [ -z "$nodes" ]; then
    upload "$folder" "" "$@"
    exit $?
fi

# The serial numbers come from the scan; a module it did not find gets its node-ID's folder.
modules=$("$korvane" --scan)
scanned=$?
[ "$scanned" -le 1 ] || { echo "$(date '+%F %T') the bus could not be searched" >&2; exit 1; }
if [ "$nodes" = all ]; then
    [ "$scanned" -eq 0 ] || { echo "$(date '+%F %T') no module answered" >&2; exit 1; }
    nodes=$(echo "$modules" | sed 1d | cut -d, -f1 | paste -sd, -)
fi
failed=0
for node in $(echo "$nodes" | tr ',' ' '); do
    case $node in
    *[!0-9]*) echo "korvane-upload: \"$node\" is no node-ID" >&2; exit 2 ;;
    esac
    serial=$(echo "$modules" | sed 1d | grep "^$node," | cut -d, -f6)
    upload "$folder/${serial:-node-$node}" "node $node: " --node "$node" "$@" || failed=1
done
exit "$failed"
