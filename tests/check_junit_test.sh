#!/usr/bin/env bash
# The JUnit report that check_test has novracheck write for a folder of
# savers (one passes, one fails, one warns, one cannot start, with an
# ampersand and Japanese in its name), read by a real XML parser.
#   check_junit_test.sh XMLLINT FILE
set -u
xmllint=$1 file=$2
fail() { echo "check_junit_test: $*" >&2; exit 1; }

[ -f "$file" ] || fail "$file is missing; check_test writes it"
"$xmllint" --noout "$file" || fail "$file is not well-formed XML"
expect() {
    local got
    got=$("$xmllint" --xpath "$1" "$file" 2>&1)
    [ "$got" = "$2" ] || fail "$1 gives '$got', not '$2'"
}
suite='/testsuites/testsuite'
expect "count($suite)" 4
expect "count($suite/testcase)" 40
expect "count($suite/testcase[@classname != ../@name])" 0
expect "string($suite[4]/@name)" 'text & テキスト.scr'
expect "count($suite[1]/testcase[not(*[not(self::system-out)])])" 2
expect "count($suite/testcase/skipped)" 32
expect "string($suite[2]/testcase[@name='preview.window']/failure/@message)" \
       'ended with code 0x3 without a child window of the host'
expect "count($suite[3]/testcase[@name='preview.path_blank']/failure)" 0
expect "starts-with($suite[3]/testcase[@name='preview.path_blank']/system-out, 'WARN preview.path_blank: ')" true
expect "count($suite[4]/testcase/error[contains(@message, '(error 193)')])" 2
expect "sum($suite/@failures)" 3
expect "count($suite/testcase[not(number(@time) >= 0 and number(@time) < 10)])" 0
expect "$suite[1]/@time > 0.01" true
