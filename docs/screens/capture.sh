#!/usr/bin/env bash
# Captures the text of every terminal screen of orvalen-setup at 80x24 into
# docs/screens/*.txt: a walk through an installation, a second one that finds the
# driver installed, a quit and a broken setup disk, and the tour for the screens the
# installation does not reach (the notice, the copy gauge, a stop message).
#
#   docs/screens/capture.sh [BUILD_DIR]     (default: build)
set -eu

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
SETUP=$BUILD/apps/orvalen-setup/orvalen-setup
TOUR=$BUILD/host/ui/newt/orv-newt-tour
for program in "$SETUP" "$TOUR"; do
    [[ -x $program ]] || { echo "capture.sh: $program is not built" >&2; exit 1; }
done

unset TMUX
WORK=$(mktemp -d "${TMPDIR:-/tmp}/orv-screens.XXXXXX")
TMUX_CMD=(tmux -L "orv-screens-$$" -f /dev/null)
trap '"${TMUX_CMD[@]}" kill-server >/dev/null 2>&1; rm -rf "$WORK"' EXIT

start() { # NAME PROGRAM ARGS...
    local name=$1
    shift
    local command
    printf -v command '%q ' "$@"
    "${TMUX_CMD[@]}" new-session -d -s "$name" -x 80 -y 24 \
        "env LANG=C.UTF-8 TERM=screen $command 2>$WORK/$name.err; echo SCREENS-END; exec sleep 300"
}

wait_for() { # NAME TEXT
    local deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        "${TMUX_CMD[@]}" capture-pane -p -t "$1" | grep -qF -- "$2" && return 0
        sleep 0.05
    done
    echo "capture.sh: no \"$2\" on the screen of $1" >&2
    "${TMUX_CMD[@]}" capture-pane -p -t "$1" >&2
    exit 1
}

wait_gone() { # NAME TEXT
    local deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        "${TMUX_CMD[@]}" capture-pane -p -t "$1" | grep -qF -- "$2" || return 0
        sleep 0.05
    done
    echo "capture.sh: \"$2\" stays on the screen of $1" >&2
    exit 1
}

# Saves the screen once it shows TEXT.
shot() { # NAME TEXT FILE
    wait_for "$1" "$2"
    "${TMUX_CMD[@]}" capture-pane -p -t "$1" | sed 's/[[:space:]]*$//' >"$HERE/$3"
    echo "  $3"
}

keys() {
    local name=$1
    shift
    "${TMUX_CMD[@]}" send-keys -t "$name" "$@"
}

echo "an installation:"
start walk "$SETUP" --disk "$ROOT/disk" --machine "$WORK/m"
shot walk "Welcome to Orvalen" welcome.txt
keys walk F1
shot walk "Setup Help" help.txt
# Esc goes alone: a key right after it would read as an escape sequence.
keys walk Escape
wait_gone walk "Setup Help"
keys walk Tab Enter
shot walk "no step before it" welcome-back.txt
keys walk Enter
wait_for walk "Welcome to Orvalen"
keys walk Escape
shot walk "Setup is not complete" quit.txt
keys walk Enter
wait_for walk "Welcome to Orvalen"
keys walk Enter
shot walk "Choose your plotter model" plotter.txt
keys walk F1
shot walk "Help: Plotter" plotter-help.txt
keys walk Escape
wait_gone walk "Help: Plotter"
keys walk Down Down Down Down Down Down Down Down Down Enter
shot walk "either of two drivers" driver.txt
keys walk Enter
shot walk "does not exist" spool-directory.txt
keys walk Enter
shot walk "Ready to Install" confirm.txt
keys walk Enter
shot walk "Installation complete." complete.txt
keys walk Enter
wait_for walk "SCREENS-END"

echo "a second installation on the same workstation:"
start again "$SETUP" --disk "$ROOT/disk" --machine "$WORK/m"
wait_for again "Welcome to Orvalen"
keys again Enter
wait_for again "Choose your plotter model"
keys again Down Down Down Down Down Down Down Down Down Enter
wait_for again "either of two drivers"
keys again Enter
shot again "already installed" installed-driver.txt
keys again Escape
wait_for again "Setup is not complete"
keys again Tab Enter
wait_for again "SCREENS-END"

echo "a broken setup disk:"
cp -r "$ROOT/disk" "$WORK/baddisk"
sed -i 's/^\[Raster\]/[Raster/' "$WORK/baddisk/setup.inf"
start bad "$SETUP" --disk "$WORK/baddisk" --machine "$WORK/m2"
shot bad "Setup cannot go on" fatal.txt
keys bad Enter
wait_for bad "SCREENS-END"

echo "the tour:"
start tour "$TOUR" --machine "$WORK/m3" 102 stop copy
shot tour "has a notice for you" notice.txt
keys tour Enter
shot tour "Unable to add the printer driver." message-stop.txt
keys tour Enter
shot tour "Press Esc to stop the copy." copy.txt
keys tour Escape
shot tour "Do you want to stop copying" copy-stop.txt
keys tour Tab Enter
wait_for tour "SCREENS-END"
