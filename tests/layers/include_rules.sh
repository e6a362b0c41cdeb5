#!/bin/sh
# The program above components/ sees the codec components only through their
# public headers, and FFmpeg not at all. Prints the offending lines and fails.
# Usage: include_rules.sh <repository root>
cd "$1" || exit 2
public='components/(component_ids|component_interfaces|register_components)\.h'
hits=$(grep -rnE '#include ("components/|<lib(av|sw)[a-z]*/)' app pipeline targets services ui sources res \
       | grep -vE "#include \"$public\"")
if [ -n "$hits" ]; then
    echo "Outside components/, include only its public headers and no FFmpeg header:"
    echo "$hits"
    exit 1
fi
