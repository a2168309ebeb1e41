#!/usr/bin/env bash
# Prints what Tab offers at the end of a brelvoxa command line, space-separated, with
# the completion script loaded beside bash-completion's helpers as bash loads it.
# Usage: complete.sh SCRIPT LINE
. /usr/share/bash-completion/bash_completion
. "$1"
COMP_LINE=$2
COMP_POINT=${#COMP_LINE}
read -ra COMP_WORDS <<<"$COMP_LINE"
# A line ending in a blank completes a new, empty word.
[[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
COMPREPLY=()
_brelvoxa 2>/dev/null
printf '%s' "${COMPREPLY[*]}"
