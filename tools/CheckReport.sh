# Sourced by the check scripts (Windows checks, release checks): one line per
# check as it ends, and a summary with the pass and fail counts at the end.
# Set checkTitle ("Windows checks") and checkName (the script's name) first.
declare -a summary=()
failures=0
scriptStart=$SECONDS

Record() {  # status, name, detail
    summary+=("$1: $2${3:+ ($3)}")
    [[ "$1" == FAIL ]] && failures=$((failures + 1))
    echo "== $1: $2${3:+ ($3)}"
}

Finish() {
    echo
    echo "$checkTitle summary"
    printf '  %s\n' "${summary[@]}"
    echo "  total time: $((SECONDS - scriptStart)) s"
    echo "$checkName: $((${#summary[@]} - failures)) passed, $failures failed"
    [[ $failures -eq 0 ]]
    exit $?
}
