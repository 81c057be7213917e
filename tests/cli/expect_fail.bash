# Sourced by the pelvano-cli test scripts (which set $cli and $work):
# expect_fail STATUS ARGS... runs pelvano-cli, wants that exit status and a one-line error.
expect_fail() {
    local want=$1
    shift
    set +e
    "$cli" "$@" >/dev/null 2>"$work/err"
    local got=$?
    set -e
    [ "$got" = "$want" ] || { echo "exit $got, wanted $want: $*"; exit 1; }
    [ "$(wc -l <"$work/err")" = 1 ] || { echo "not a one-line error: $*"; cat "$work/err"; exit 1; }
}
