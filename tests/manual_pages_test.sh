#!/usr/bin/env bash
# The manual pages format without a warning, and the bash completion completes
# quillmere-batch's command line, with and without the bash-completion package.
# With the program given, the options it lists are the ones that its page
# documents and its completion offers.
#
# usage: manual_pages_test.sh DATA_FOLDER [QUILLMERE_BATCH]
set -uo pipefail

data=$(realpath "${1:?usage: manual_pages_test.sh DATA_FOLDER [QUILLMERE_BATCH]}") || exit 1
program=${2:+$(realpath "$2")}
completion=$data/bash-completion/quillmere-batch
failures=0

# The lines of a list, on one line.
joined()
{
    printf '%s' "$1" | tr '\n' ' '
}

fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export LC_ALL=C.UTF-8 MANWIDTH=80
unset MANPAGER PAGER MANOPT

for page in quillmere.1 quillmere-batch.1; do
    if ! man --warnings -E UTF-8 -l "$data/$page" >"$work/$page.txt" 2>"$work/$page.err"; then
        fail "man could not format $page"
    fi
    if [ -s "$work/$page.err" ]; then
        fail "man warns about $page:"
        cat "$work/$page.err" >&2
    fi
    [ -s "$work/$page.txt" ] || fail "$page formats to nothing"
done

# A folder and a file beside it, so that completing after --to can be told
# from completing after --report.
mkdir "$work/tree" "$work/tree/subfolder"
touch "$work/tree/subfile.ods"

# Prints the words that completing LINE (the cursor at its end) offers, one a
# line, sorted. Words are split as readline splits them: at blanks, and
# around "=" (one of COMP_WORDBREAKS). HELPERS is the bash-completion script
# to load first, or empty for none.
offers()
{
    local helpers=$1 line=$2
    bash --norc --noprofile -c '
        helpers=$1 completion=$2 line=$3
        if [ -n "$helpers" ]; then
            source "$helpers" || exit 1
            declare -F _init_completion >/dev/null || { echo "no _init_completion in $helpers" >&2; exit 1; }
        fi
        source "$completion" || exit 1
        read -ra blank_words <<<"$line"
        COMP_WORDS=()
        for word in "${blank_words[@]}"; do
            while [[ $word == *=* ]]; do
                [ -n "${word%%=*}" ] && COMP_WORDS+=("${word%%=*}")
                COMP_WORDS+=("=")
                word=${word#*=}
            done
            [ -n "$word" ] && COMP_WORDS+=("$word")
        done
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$line
        COMP_POINT=${#line}
        COMPREPLY=()
        _quillmere_batch quillmere-batch "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sed "/^$/d" | sort
    ' offers "$helpers" "$completion" "$line"
}

# expect HELPERS LINE WORD...: completing LINE offers exactly WORDs.
expect()
{
    local helpers=$1 line=$2
    shift 2
    local wanted got
    wanted=$(printf '%s\n' "$@" | sed '/^$/d' | sort)
    if ! got=$(cd "$work" && offers "$helpers" "$line"); then
        fail "completing \"$line\" (${helpers:-without helpers}) went wrong"
        return
    fi
    if [ "$got" != "$wanted" ]; then
        fail "completing \"$line\" (${helpers:-without helpers}) offered [$(joined "$got")], not [$*]"
    fi
}

# Without the bash-completion package's helpers, and with them where it is installed.
helper_scripts=("")
helpers=/usr/share/bash-completion/bash_completion
[ -r "$helpers" ] && helper_scripts+=("$helpers")

for helpers in "${helper_scripts[@]}"; do
    expect "$helpers" "quillmere-batch --fi" --files-from
    expect "$helpers" "quillmere-batch --sh" --shard
    expect "$helpers" "quillmere-batch --re" --recursive --report
    expect "$helpers" "quillmere-batch --to tree/sub" tree/subfolder
    expect "$helpers" "quillmere-batch --to=tree/sub" tree/subfolder
    expect "$helpers" "quillmere-batch --report tree/sub" tree/subfile.ods tree/subfolder
    expect "$helpers" "quillmere-batch --files-from tree/sub" tree/subfile.ods tree/subfolder
    expect "$helpers" "quillmere-batch --extension " ods ots sxc stc
    expect "$helpers" "quillmere-batch --extension o" ods ots
    expect "$helpers" "quillmere-batch --jobs " ""
    expect "$helpers" "quillmere-batch -j tr" ""
    expect "$helpers" "quillmere-batch --shard " auto
    expect "$helpers" "quillmere-batch --up" --update
    expect "$helpers" "quillmere-batch --beside tree/sub" tree/subfile.ods tree/subfolder
    expect "$helpers" "quillmere-batch --to out tree/sub" tree/subfile.ods tree/subfolder
done

if [ -n "$program" ]; then
    if ! "$program" --help >"$work/help.txt" 2>&1; then
        fail "$program --help failed"
    fi
    # The options --help lists: every long one it names, and the short ones
    # of its option lines ("  -j, --jobs N").
    listed=$( (grep -oE -- '--[a-z][a-z-]*[a-z]' "$work/help.txt"
        grep -oE -- '^ +-[a-z0-9],' "$work/help.txt" | tr -d ' ,') | sort -u)
    [ -n "$listed" ] || fail "no option found in the --help text"
    # The tags of the OPTIONS section: "       -j N, --jobs N".
    sed -n '/^OPTIONS$/,/^[A-Z]/p' "$work/quillmere-batch.1.txt" | grep -E '^ {7}-' >"$work/tags.txt"
    for option in $listed; do
        grep -qE -- "(^|[ ,])$option([ ,]|$)" "$work/tags.txt" ||
            fail "quillmere-batch.1 does not describe $option under OPTIONS"
    done
    offered=$(cd "$work" && offers "" "quillmere-batch -")
    if [ "$offered" != "$listed" ]; then
        fail "the completion offers [$(joined "$offered")], --help lists [$(joined "$listed")]"
    fi
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "manual pages and completion: all checks passed"
