#!/usr/bin/env bash
# Zevra under Valgrind's memcheck on a virtual X server with a window manager.
#   full run:  start, 200 frames, 50 resizes (each set up and drawn), Escape
#   short run: start, 100 frames, Escape
# Prints the memory errors and leaks of the full run that no suppression in
# scripts/memcheck.supp explains, which suppressions were used, and the leak
# totals of both runs: anything lost per frame or per resize, even inside the
# toolkit, makes the full run's totals larger than the short run's.
#   scripts/memcheck.sh [build folder]   (default: build; RelWithDebInfo)
# The whole logs are left in <build folder>/memcheck/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build}

"$here/install-deps.sh"
command -v valgrind >/dev/null || { apt-get update -qq && apt-get install -y -qq valgrind; }
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build=$(cd "$build" && pwd)
cmake --build "$build" -j2 --target zevra zv_ddraw zv_d3drm zv_e2e_drive >/dev/null

# The logs stay in the build folder for a closer look.
logs=$build/memcheck
mkdir -p "$logs"
rm -f "$logs"/*.log

run() {
    local name=$1
    shift
    echo "== $name run"
    "$build/bin/zv_e2e_drive" --timeout 600 "$@" -- \
        valgrind --tool=memcheck --leak-check=full \
        --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect \
        --child-silent-after-fork=yes --num-callers=500 -s \
        --suppressions="$here/memcheck.supp" --log-file="$logs/$name.log" \
        "$build/bin/zevra" | sed 's/^/   /'
}

# "definitely lost: 1,234 bytes in 5 blocks" -> "1234 5"
totals() {
    sed -n "s/^==[0-9]*== *$2: \([0-9,]*\) bytes in \([0-9,]*\) blocks.*/\1 \2/p" "$logs/$1.log" |
        tr -d , | head -n1
}

status=0
run full --frames 200 --resizes 50 || status=1
run short --frames 100 || status=1

echo "== full run: what memcheck reports after the suppressions"
grep -E "^==[0-9]+== +(definitely lost|indirectly lost|possibly lost|suppressed):" "$logs/full.log" |
    sed 's/^==[0-9]*== */   /'
grep -E "ERROR SUMMARY" "$logs/full.log" | tail -n1 | sed 's/^==[0-9]*== */   /'
echo "== full run: suppressions used (times; leaks: bytes in blocks)"
sed -n 's/^--[0-9]*-- used_suppression: *\([0-9]*\) \([^ ]*\) [^ ]*\( suppressed: \(.*\)\)\{0,1\}$/   \2: \1 times; \4/p' \
    "$logs/full.log"

echo "== full run: errors and leaks left after the suppressions"
left=$(awk '/^==[0-9]+== (Invalid|Conditional|Use of|Syscall param|Mismatched|Source and|Argument|[0-9,]+ (\([^)]*\) )?bytes in [0-9,]+ blocks are)/ {show=1}
            /^==[0-9]+== $/ {if (show) print ""; show=0}
            show {print}' "$logs/full.log")
if [ -n "$left" ]; then
    echo "$left" | sed 's/^==[0-9]*== */   /'
    status=1
else
    echo "   none"
fi

# The full run has 100 frames and 50 resizes more than the short one: a block
# lost per frame or per resize adds at least 50 blocks.
echo "== leak totals, suppressed ones included (bytes, blocks): full run, short run"
extra=0
for kind in "definitely lost" "indirectly lost" "possibly lost" "suppressed"; do
    read -r fullBytes fullBlocks <<<"$(totals full "$kind")"
    read -r shortBytes shortBlocks <<<"$(totals short "$kind")"
    echo "   $kind: ${fullBytes:-0}, ${fullBlocks:-0}; ${shortBytes:-0}, ${shortBlocks:-0}"
    extra=$((extra + ${fullBlocks:-0} - ${shortBlocks:-0}))
done
echo "   the full run lost $extra blocks more than the short run"
if [ "$extra" -ge 50 ]; then
    echo "   that is a block or more per resize or per frame"
    status=1
fi
exit $status
