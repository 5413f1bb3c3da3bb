#!/usr/bin/env bash
# End-to-end tests of the terminal screens: orvalen-setup runs in tmux on fresh
# temporary machines, driven with send-keys and read with capture-pane. Every wait
# polls the screen for its text; nothing sleeps a fixed time.
#
#   tui_test.sh ORVALEN_SETUP ORVALEN_MACHINE DISK_DIR [ORV_NEWT_TOUR]
# Exit status 77 (skipped) when tmux is missing.
set -u

SETUP=${1:?orvalen-setup}
MACHINE_TOOL=${2:?orvalen-machine}
DISK=${3:?setup disk}
TOUR=${4:-}

if ! command -v tmux >/dev/null 2>&1; then
    echo "SKIP: tmux is not installed"
    exit 77
fi

unset TMUX # a private server, also when the tests run inside tmux
WORK=$(mktemp -d "${TMPDIR:-/tmp}/orv-tui.XXXXXX")
SOCKET="orv-tui-$$"
TMUX_CMD=(tmux -L "$SOCKET" -f /dev/null)
WAIT_SECONDS=20
failures=0
passes=0

cleanup() {
    "${TMUX_CMD[@]}" kill-server >/dev/null 2>&1
    rm -rf "$WORK"
}
trap cleanup EXIT

# Runs PROGRAM in a new tmux session of COLSxROWS. The pane ends with the exit status
# and whether the terminal is back in line mode, and stays open so both can be read.
start_program() { # NAME COLS ROWS PROGRAM ARGS...
    local name=$1 cols=$2 rows=$3
    shift 3
    local command
    printf -v command '%q ' "$@"
    "${TMUX_CMD[@]}" new-session -d -s "$name" -x "$cols" -y "$rows" \
        "env LANG=C.UTF-8 TERM=screen $command 2>$WORK/$name.err; echo SETUP-EXIT=\$?; stty -a | grep -q -- ' icanon' && echo LINE-MODE=yes; exec sleep 300"
}

start_setup() { # NAME ARGS...
    local name=$1
    shift
    start_program "$name" 100 30 "$SETUP" --disk "$DISK" "$@"
}

screen_of() { "${TMUX_CMD[@]}" capture-pane -p -t "$1"; }

keys() { # NAME KEY...
    local name=$1
    shift
    "${TMUX_CMD[@]}" send-keys -t "$name" "$@"
}

# Waits until the screen shows TEXT; on a time-out prints the screen and fails.
wait_for() { # NAME TEXT
    local name=$1 text=$2
    local deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        if screen_of "$name" | grep -qF -- "$text"; then return 0; fi
        sleep 0.05
    done
    echo "  no \"$text\" on the screen of $name after ${WAIT_SECONDS}s; the screen:"
    screen_of "$name" | sed 's/^/  | /'
    [[ -s $WORK/$name.err ]] && sed 's/^/  stderr: /' "$WORK/$name.err"
    return 1
}

# Fails when the screen shows TEXT now.
refute_screen() { # NAME TEXT
    if screen_of "$1" | grep -qF -- "$2"; then
        echo "  the screen of $1 shows \"$2\":"
        screen_of "$1" | sed 's/^/  | /'
        return 1
    fi
}

# The run ended with 0 and gave the terminal back: line mode, and no setup screen left.
expect_clean_end() { # NAME
    wait_for "$1" "SETUP-EXIT=0" && wait_for "$1" "LINE-MODE=yes" || return 1
    local alternate
    alternate=$("${TMUX_CMD[@]}" display-message -p -t "$1" '#{alternate_on}')
    if [[ $alternate != 0 ]]; then
        echo "  the terminal of $1 is still on the alternate screen"
        return 1
    fi
    refute_screen "$1" "Tab: next"
}

machine() { "$MACHINE_TOOL" --machine "$@"; }

run_test() { # NAME FUNCTION
    echo "--- $1"
    if "$2"; then
        echo "ok: $1"
        passes=$((passes + 1))
    else
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}

# ---------------------------------------------------------------------------------

# Welcome (with its Back notice and help), a model with both drivers, the raster
# driver, the spool directory created, confirmation, completion; the answers saved.
test_install_raster() {
    local s=install
    start_setup $s --machine "$WORK/m1" --save-answers "$WORK/answers.ini"
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    wait_for $s "F1: help" || return 1
    keys $s Tab Enter # Back: the notice over the welcome
    wait_for $s "there is no step before it" || return 1
    keys $s Enter
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    keys $s F1
    wait_for $s "Setup Help" || return 1
    keys $s Escape # closes the help only: the welcome stays
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    refute_screen $s "Setup Help" || return 1
    keys $s Enter

    wait_for $s "Choose your plotter model" || return 1
    keys $s F1
    wait_for $s "Help: Plotter" || return 1
    keys $s Enter
    wait_for $s "Choose your plotter model" || return 1
    # The tenth listed model is the Linecraft 81224, which offers both drivers.
    keys $s Down Down Down Down Down Down Down Down Down Enter

    wait_for $s "either of two drivers" || return 1
    wait_for $s "(*) Raster driver" || return 1
    keys $s Enter
    wait_for $s "The spool directory does not exist." || return 1
    keys $s Enter # Create

    wait_for $s "Ready to Install" || return 1
    wait_for $s "Model:            ORV Linecraft 81224" || return 1
    wait_for $s "Driver:           raster driver (IRCOL_RS)" || return 1
    wait_for $s "Printer name:     ORV Linecraft 81224" || return 1
    wait_for $s "Port:             LPT1:" || return 1
    wait_for $s "Default printer:  yes" || return 1
    keys $s Enter # Install

    wait_for $s "Setup complete" || return 1
    wait_for $s "Installation complete." || return 1
    keys $s Enter
    expect_clean_end $s || return 1

    machine "$WORK/m1" printers >"$WORK/m1.printers" || return 1
    grep -q "ORV Linecraft 81224  on LPT1:  driver ORV Linecraft 81224  (default)" "$WORK/m1.printers" || {
        echo "  the printer is not on the machine:"
        cat "$WORK/m1.printers"
        return 1
    }
    machine "$WORK/m1" drivers | grep -q "IRCOL_RS" || {
        echo "  the raster driver is not registered"
        return 1
    }
}

# Esc at the welcome asks to quit; Exit Setup ends the run with nothing installed.
test_cancel_at_welcome() {
    local s=cancel
    start_setup $s --machine "$WORK/m2"
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    keys $s Escape
    wait_for $s "Setup is not complete. If you exit now" || return 1
    keys $s Enter # Continue: back to the welcome
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    keys $s Escape
    wait_for $s "Setup is not complete. If you exit now" || return 1
    keys $s Tab Enter # Exit Setup
    expect_clean_end $s || return 1
    if [[ -n $(machine "$WORK/m2" printers) || -n $(machine "$WORK/m2" drivers) ]]; then
        echo "  something was installed after the quit"
        return 1
    fi
}

# Ctrl-C inside a dialog is the quit request: the setup stops through its error
# dialog and gives the terminal back.
test_ctrl_c() {
    local s=ctrlc
    start_setup $s --machine "$WORK/m3"
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    keys $s Enter
    wait_for $s "Choose your plotter model" || return 1
    keys $s C-c
    wait_for $s "Setup cannot go on" || return 1
    wait_for $s "Setup was interrupted" || return 1
    keys $s Enter
    expect_clean_end $s || return 1
    [[ -z $(machine "$WORK/m3" printers) ]] || {
        echo "  a printer was installed after Ctrl-C"
        return 1
    }
}

# The answers saved by the interactive run install the same printer unattended.
test_replay_saved_answers() {
    [[ -s $WORK/answers.ini ]] || {
        echo "  the interactive run saved no answers"
        return 1
    }
    "$SETUP" --disk "$DISK" --machine "$WORK/m4" --answers "$WORK/answers.ini" >"$WORK/replay.out" 2>&1 || {
        echo "  the unattended replay failed:"
        cat "$WORK/replay.out"
        return 1
    }
    machine "$WORK/m4" printers >"$WORK/m4.printers" || return 1
    if ! diff -u "$WORK/m1.printers" "$WORK/m4.printers"; then
        echo "  the replay installed another printer"
        return 1
    fi
    [[ -s $WORK/m4.printers ]]
}

# A broken setup.inf stops the setup; the error dialog names the line at fault.
test_fatal_names_inf_error() {
    local s=badinf
    cp -r "$DISK" "$WORK/baddisk" || return 1
    sed -i 's/^\[Raster\]/[Raster/' "$WORK/baddisk/setup.inf"
    start_program $s 80 24 "$SETUP" --disk "$WORK/baddisk" --machine "$WORK/m5"
    wait_for $s "Setup cannot go on because of an error." || return 1
    wait_for $s "line 7: the section header has no closing ']'" || return 1
    keys $s Enter
    expect_clean_end $s
}

# Esc during the copy asks first; Go On keeps copying, Stop Copying stops it.
test_copy_gauge_escape() {
    if [[ -z $TOUR ]]; then
        echo "  no orv-newt-tour given: not tried"
        return 0
    fi
    local s=gauge
    start_program $s 80 24 "$TOUR" --machine "$WORK/m6" copy
    wait_for $s "Copying Files" || return 1
    wait_for $s "Press Esc to stop the copy." || return 1
    keys $s Escape
    wait_for $s "Do you want to stop copying" || return 1
    keys $s Enter # Go On
    wait_for $s "Press Esc to stop the copy." || return 1
    refute_screen $s "Do you want to stop copying" || return 1
    keys $s Escape
    wait_for $s "Do you want to stop copying" || return 1
    keys $s Tab Enter # Stop Copying
    expect_clean_end $s || return 1
    grep -q "copy: stopped" "$WORK/$s.err" || {
        echo "  the copy was not stopped:"
        cat "$WORK/$s.err"
        return 1
    }
}

# A terminal that hangs up in the middle of a dialog (its window closed) ends the
# setup: nothing is left spinning on the dead terminal.
test_terminal_hangs_up() {
    local s=hangup
    start_setup $s --machine "$WORK/m7"
    wait_for $s "Welcome to Orvalen Plotter Driver Setup." || return 1
    "${TMUX_CMD[@]}" kill-session -t $s
    local deadline=$((SECONDS + WAIT_SECONDS))
    while pgrep -f -- "--machine $WORK/m7" >/dev/null; do
        if ((SECONDS >= deadline)); then
            echo "  orvalen-setup still runs ${WAIT_SECONDS}s after its terminal hung up"
            pkill -9 -f -- "--machine $WORK/m7"
            return 1
        fi
        sleep 0.05
    done
}

run_test "install with the raster driver" test_install_raster
run_test "cancel at the welcome" test_cancel_at_welcome
run_test "Ctrl-C in a dialog" test_ctrl_c
run_test "replay the saved answers" test_replay_saved_answers
run_test "a broken setup.inf named in the error dialog" test_fatal_names_inf_error
run_test "Esc during the copy" test_copy_gauge_escape
run_test "the terminal hangs up" test_terminal_hangs_up

echo "tui: $passes passed, $failures failed"
((failures == 0))
