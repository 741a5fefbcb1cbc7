#!/usr/bin/env bash
# Checks that no #include crosses the layers against the arrows of ARCHITECTURE.md: a file
# in a layer's folder may name by path only itself and the layers (or single headers) listed
# for it below. Includes that climb out of a folder ("../") are refused everywhere. Tests
# (tests/) and benchmarks (bench/) may include any layer.
#   tools/check_layers.sh [ROOT]    one line per include against the arrows, exit 1 if any
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# layer|what it may include besides itself (layer folders or single headers)
arrows='
base|
platform|base
vst|base
vst3|base
clap|base
vst3plugin|base vst vst3 core
clapplugin|base vst clap core
core|base vst
resources|base
resources/draw|base editor/layout.h
pixels|base
toolkit|base vst
editor|base vst core pixels toolkit resources
modules|base vst core editor
lv2|base vst core
protools/framework|base
protools|base vst core toolkit protools/framework
hosts/common|base vst vst3 clap
hosts/ptsim|base hosts/common protools/framework/fic_types.h protools/framework/plugin_interface.h protools/framework/host_library.h
hosts/kavet|base vst vst3 clap core/params.h core/meter.h core/prefs.h core/config.h core/plug.h editor/pluged.h hosts/common hosts/ptsim lv2/ports.h
hosts/wintest|base vst vst3 clap hosts/common
'

git ls-files -- '*.h' '*.cpp' '*.c' | xargs grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
    awk -v arrows="$arrows" '
    BEGIN {
        n = split(arrows, rows, "\n")
        for (i = 1; i <= n; i++) {
            if (rows[i] == "") continue
            split(rows[i], parts, "|")
            allowed[parts[1]] = parts[2]
            layer[++count] = parts[1]
        }
        # Longest folder first, so that protools/framework is not taken for protools.
        for (i = 1; i <= count; i++)
            for (j = i + 1; j <= count; j++)
                if (length(layer[j]) > length(layer[i])) { t = layer[i]; layer[i] = layer[j]; layer[j] = t }
        bad = 0
    }
    function layer_of(path,    i) {
        for (i = 1; i <= count; i++)
            if (index(path, layer[i] "/") == 1) return layer[i]
        return ""
    }
    {
        file = $0; sub(/:.*/, "", file)
        rest = substr($0, length(file) + 2)
        line = rest; sub(/:.*/, "", line)
        target = rest; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
        from = layer_of(file)
        if (from == "") next
        if (target ~ /(^|\/)\.\.\//) {
            printf "%s:%s: \"%s\" climbs out of its folder: name it from the root\n", file, line, target
            bad = 1; next
        }
        to = layer_of(target)
        if (to == "" || to == from) next
        # A subfolder of the including file that happens to share a layer name is its own.
        dir = file; sub(/\/[^\/]*$/, "", dir)
        if (system("test -e \"" dir "/" target "\"") == 0) next
        m = split(allowed[from], ok, " ")
        for (k = 1; k <= m; k++)
            if (target == ok[k] || index(target, ok[k] "/") == 1) next
        printf "%s:%s: %s may not include \"%s\" (layer %s)\n", file, line, from, target, to
        bad = 1
    }
    END {
        if (!bad) print "check_layers: every include follows the arrows"
        exit bad
    }'
