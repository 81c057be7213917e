# Sourced by the CLI tests (needs $cli and $work): expect_fail STATUS ARGS... runs pelvano-cli
# and checks its exit status and that it explains itself in exactly one line on stderr.
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
