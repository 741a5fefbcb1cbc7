#!/usr/bin/env bash
# cmake --install of a built tree, as a user runs it: the LV2 bundle lands in ~/.lv2, the
# CLAP module in ~/.clap, the VST 3 bundle in ~/.vst3 and the VST modules in ~/.vst of the
# user's home (a scratch folder here), whole and loadable.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
home=$(mktemp -d "${TMPDIR:-/tmp}/kavet-install-XXXXXX")
trap 'rm -rf "$home"' EXIT
HOME=$home cmake --install "$build" >/dev/null
fail=0
for f in .lv2/Kavet.lv2/manifest.ttl .lv2/Kavet.lv2/kavet.ttl .lv2/Kavet.lv2/kavet_stereo.so \
    .lv2/Kavet.lv2/kavet_mono.so .lv2/Kavet.lv2/kavet_ui.so \
    ".vst/Velmorant Kavet Stereo.so" ".vst/Velmorant Kavet Mono.so" .clap/Kavet.clap \
    .vst3/Kavet.vst3/Contents/x86_64-linux/Kavet.so \
    .vst3/Kavet.vst3/Contents/Resources/moduleinfo.json; do
    if [ ! -s "$home/$f" ]; then
        echo "install: ~/$f is missing" >&2
        fail=1
    fi
done
# Nothing else: no test programs, no build files.
extra=$(cd "$home" && find .lv2 .vst .vst3 .clap -type f | grep -v -E '^\.clap/Kavet\.clap$|^\.lv2/Kavet\.lv2/(manifest\.ttl|kavet\.ttl|kavet_(stereo|mono|ui)\.so)$|^\.vst/Velmorant Kavet (Stereo|Mono)\.so$|^\.vst3/Kavet\.vst3/Contents/(x86_64-linux/Kavet\.so|Resources/moduleinfo\.json)$' || true)
if [ -n "$extra" ]; then
    echo "install: more than the plug-ins: $extra" >&2
    fail=1
fi
# The installed bundle is what LV2 hosts find there.
if ! LV2_PATH=$home/.lv2 lv2ls | grep -qx 'urn:velmorant:kavet:stereo'; then
    echo "install: lv2ls does not find Kavet Stereo in ~/.lv2" >&2
    fail=1
fi
# The installed CLAP module exports the entry and nothing else.
if [ -s "$home/.clap/Kavet.clap" ] &&
    [ "$(nm -D --defined-only "$home/.clap/Kavet.clap" | awk '{print $3}')" != clap_entry ]; then
    echo "install: ~/.clap/Kavet.clap does not export clap_entry alone" >&2
    fail=1
fi
exit $fail
