# Drives a Windows dialog program under Wine on a virtual X screen with real
# input events: Xvfb as the screen, openbox as the window manager (it draws
# the title bars and close boxes and lets windows be activated), xdotool for
# the mouse and the keyboard. To be sourced by a bash script; every wait has a
# time-out in whole seconds, and a function that runs out of time says so on
# standard error and returns 1.
#
# What Wine does here, and what the functions rely on:
# - Under a window manager the X window of a Win32 top-level window is its
#   client area: coordinates given to click_in_window are client coordinates,
#   as GetClientRect and MapWindowPoints give them. A dialog's units become
#   pixels through its font's base units; Arial 8 is drawn in Liberation
#   Sans (Wine substitutes it), with base units 6 x 12, so one dialog unit is
#   1.5 pixels both ways.
# - Window titles are matched exactly ("Harvelin" is the main window,
#   "harvelin" a message box): xdotool's own name search ignores case.
# - A message box's text is not readable from X. Wine traces it when the box
#   opens, on the program's standard error with the msgbox channel on, which
#   start_wine_program switches on; message_box_text reads it back.
# - Wine's file dialogs refuse a Unix path ("/" is an invalid character in a
#   file name); they take the Windows form, Z: being the root directory.
# - Wine hands virtual keys to keys it does not know in the order of their
#   key codes and runs out before the high ones; xdotool's way of typing a
#   character the keymap lacks (mapping a spare key code for a moment) is
#   lost on Wine too. So the German characters get low key codes of their own
#   before Wine starts.
#
# The caller sets WINEPREFIX and the rest of Wine's environment; WINE names
# the wine binary (default: wine64 on the PATH, else Debian's).

WINE=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
wine_gui_pids=()

# require_virtual_screen: the programs of the virtual screen and of driving
# it, for scripts/lib/require.sh (sourced before) to ask for.
require_virtual_screen() {
    require "the virtual screen" Xvfb
    require "the window manager" openbox
    local program
    for program in xdotool xwininfo xprop setxkbmap xkbcomp import; do
        require "an X tool" "$program"
    done
}

# Prints the seconds since the time stamp given (from date +%s%N), to the
# millisecond.
wine_gui_seconds_since() {
    local ms=$((($(date +%s%N) - $1) / 1000000))
    printf '%d.%03d' $((ms / 1000)) $((ms % 1000))
}

# wine_gui_until TIMEOUT COMMAND...: runs COMMAND every 50 ms until it
# succeeds; returns 1 once TIMEOUT (whole) seconds have passed without.
wine_gui_until() {
    local deadline
    deadline=$(wine_gui_deadline "$1")
    shift
    until "$@"; do
        wine_gui_before "$deadline" || return 1
        sleep 0.05
    done
}

wine_gui_deadline() { echo $(($(date +%s%N) + $1 * 1000000000)); }
wine_gui_before() { [ "$(date +%s%N)" -lt "$1" ]; }

# start_virtual_screen [WxHxDEPTH] [LOG-DIR]: starts Xvfb on a free display
# and openbox on it, exports DISPLAY, and gives the keyboard the German
# characters. Returns once the window manager has taken over the screen.
start_virtual_screen() {
    local size=${1:-1024x768x24} logs=${2:-${TMPDIR:-/tmp}}
    local number_file
    number_file=$(mktemp)
    # Xvfb picks a free display itself and writes its number once it accepts
    # connections. Without -noreset it would start afresh, keymap and all,
    # whenever its last client leaves (as xkbcomp does before openbox comes).
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$number_file" >"$logs/xvfb.log" 2>&1 &
    wine_gui_pids+=($!)
    if ! wine_gui_until 10 test -s "$number_file"; then
        echo "wine-gui: Xvfb did not start:" >&2
        tail -n 5 "$logs/xvfb.log" >&2
        rm -f "$number_file"
        return 1
    fi
    DISPLAY=:$(head -n1 "$number_file")
    export DISPLAY
    rm -f "$number_file"
    unset WAYLAND_DISPLAY

    wine_gui_add_german_keys || return 1

    openbox >"$logs/openbox.log" 2>&1 &
    wine_gui_pids+=($!)
    if ! wine_gui_until 10 wine_gui_has_window_manager; then
        echo "wine-gui: openbox did not take over $DISPLAY" >&2
        return 1
    fi
}

wine_gui_has_window_manager() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Puts ä ö ü ß § ° € on key codes of their own (the Japanese keys, which
# nothing here types), low enough that Wine gives them virtual keys.
wine_gui_add_german_keys() {
    local keys='key <AB11> { [ adiaeresis, Adiaeresis ] };
        key <KATA> { [ odiaeresis, Odiaeresis ] };
        key <HIRA> { [ udiaeresis, Udiaeresis ] };
        key <JPCM> { [ ssharp, section ] };
        key <LNFD> { [ degree, EuroSign ] };'
    setxkbmap -print | sed -E "s/^([[:space:]]*xkb_symbols[[:space:]]*\{.*\")[[:space:]]*\};/\1\n$(
        printf '%s' "$keys" | tr '\n' ' ')\n};/" | xkbcomp -w 0 - "$DISPLAY" || {
        echo "wine-gui: could not load the keymap with the German characters" >&2
        return 1
    }
}

# Ends what start_virtual_screen and start_wine_program started.
stop_virtual_screen() {
    local pid
    for pid in "${wine_gui_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${wine_gui_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    wine_gui_pids=()
}

# start_wine_program LOG EXE [ARGS...]: starts EXE under Wine in the
# background, its standard output and error in LOG, with the trace of the
# message boxes switched on (see message_box_text). Sets wine_program_pid.
start_wine_program() {
    local log=$1
    shift
    WINEDEBUG="${WINEDEBUG:+$WINEDEBUG,}+msgbox" "$WINE" "$@" >"$log" 2>&1 &
    wine_program_pid=$!
    wine_gui_pids+=("$wine_program_pid")
}

# Prints the ids of the mapped windows whose title is exactly NAME.
windows_named() {
    local id
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
    return 0
}

# wait_for_window NAME [TIMEOUT]: waits until a window titled exactly NAME is
# shown, and prints its id (the newest, if there are more).
wait_for_window() {
    local name=$1 timeout=${2:-30} deadline found
    deadline=$(wine_gui_deadline "$timeout")
    until found=$(windows_named "$name" | tail -n1) && [ -n "$found" ]; do
        if ! wine_gui_before "$deadline"; then
            echo "wine-gui: no window \"$name\" within $timeout s; shown: $(window_titles)" >&2
            return 1
        fi
        sleep 0.05
    done
    echo "$found"
}

# wait_for_window_gone WID [TIMEOUT]: waits until the window is closed (or
# no longer shown).
wait_for_window_gone() {
    local wid=$1 timeout=${2:-10}
    if ! wine_gui_until "$timeout" wine_gui_is_gone "$wid"; then
        echo "wine-gui: window \"$(xdotool getwindowname "$wid")\" still open after $timeout s;" \
            "shown: $(window_titles)" >&2
        return 1
    fi
}

# An empty id counts as gone: xwininfo without one would wait for a click.
wine_gui_is_gone() {
    [ -z "$1" ] || ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

wine_gui_shown() { xdotool search --onlyvisible --name . 2>/dev/null | sort; }

# Prints the titles of the windows shown, for messages: "Harvelin" "harvelin".
window_titles() {
    local id
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}

# Activates the window and waits until it has the focus: keys go to the
# active window, and keys sent to a window that is not active are dropped
# by many programs.
activate_window() {
    timeout 5 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || {
        echo "wine-gui: could not activate window $1 \"$(xdotool getwindowname "$1" 2>/dev/null)\"" >&2
        return 1
    }
}

# click_in_window WID X Y: clicks with the left button at client coordinates
# X Y of the window.
click_in_window() {
    activate_window "$1" || return 1
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# click_dialog_units WID X Y: the same with the point in dialog units of a
# dialog whose base units are DIALOG_BASE_X x DIALOG_BASE_Y pixels (default
# 6 x 12, Arial 8): the middle of a control at (x, y, cx, cy) is
# (x + cx/2, y + cy/2).
click_dialog_units() {
    local bx=${DIALOG_BASE_X:-6} by=${DIALOG_BASE_Y:-12}
    click_in_window "$1" $(($2 * bx / 4)) $(($3 * by / 8))
}

# type_text WID TEXT: types TEXT into the window's focused control, as
# keystrokes (German characters included).
type_text() {
    activate_window "$1" || return 1
    xdotool type --delay 20 -- "$2"
}

# press_keys WID KEY...: presses keys by X name: Return, Escape, Tab, alt+n,
# y or n in a message box. A single-line edit is emptied by Home shift+End
# BackSpace: Wine's edit control does not take ctrl+a as "select all".
press_keys() {
    local wid=$1
    shift
    activate_window "$wid" || return 1
    xdotool key --delay 20 "$@"
}

# message_box_text LOG: prints the text of the message box opened last by
# the program whose output is LOG (started by start_wine_program), with
# its line breaks. Wine shortens traced texts beyond 200 characters.
message_box_text() {
    perl -CS -ne '
        next unless /trace:msgbox:MSGBOX_OnInit L"(.*)"/;
        ($last = $1) =~ s/\\(?:([0-9a-f]{4})|(.))/
            defined $1 ? chr(hex $1) : $2 eq "n" ? "\n" : $2 eq "r" ? "" : $2 eq "t" ? "\t" : $2/ge;
        END { print $last, "\n" if defined $last; exit !defined $last }' "$1"
}

# message_box_count LOG: how many message boxes the program has opened so
# far; to wait for the next one, wait until the count grows.
message_box_count() {
    grep -c 'trace:msgbox:MSGBOX_OnInit' "$1" || true
}

# windows_path PATH: an absolute Unix path as Wine's programs name it.
windows_path() {
    local p=${1//\//\\}
    printf 'Z:%s\n' "$p"
}

# answer_file_dialog PATH [TITLE] [TIMEOUT]: waits for Wine's file dialog
# (TITLE "Save As" or "Open" with Wine's English texts; by default either),
# types PATH (a Unix path, turned into its Windows form) into its file name
# box, confirms with Return, and waits until the dialog has closed. If it
# stays open (a question such as "overwrite?" or an error), the titles shown
# are named and 1 is returned with the dialog left open.
answer_file_dialog() {
    local path=$1 title=${2:-} timeout=${3:-30} deadline wid before
    deadline=$(wine_gui_deadline "$timeout")
    until wid=$(if [ -n "$title" ]; then windows_named "$title"; else
                    windows_named "Save As"; windows_named "Open"; fi | tail -n1) && [ -n "$wid" ]; do
        if ! wine_gui_before "$deadline"; then
            echo "wine-gui: no file dialog${title:+ \"$title\"} within $timeout s; shown: $(window_titles)" >&2
            return 1
        fi
        sleep 0.05
    done
    # The file name box has the focus when the dialog opens; what it holds
    # is replaced.
    press_keys "$wid" Home shift+End || return 1
    xdotool type --delay 10 -- "$(windows_path "$path")"
    before=$(wine_gui_shown)
    xdotool key Return
    # Either the dialog closes, or it asks (Wine's "Error" box "File already
    # exists. Do you want to replace it?") or complains in a window of its
    # own: then that is left for the caller.
    deadline=$(wine_gui_deadline 10)
    until wine_gui_is_gone "$wid" || [ -n "$(comm -13 <(echo "$before") <(wine_gui_shown))" ]; do
        if ! wine_gui_before "$deadline"; then
            echo "wine-gui: the file dialog neither closed nor asked within 10 s; shown: $(window_titles)" >&2
            return 1
        fi
        sleep 0.05
    done
    if ! wine_gui_is_gone "$wid"; then
        echo "wine-gui: the file dialog stays open; shown: $(window_titles)" >&2
        return 1
    fi
}

# close_window WID: clicks the close box in the window's title bar (drawn by
# openbox, at the right end: 12 pixels in from the frame's right edge, in
# the middle of the title bar's height).
close_window() {
    local wid=$1 info x y width right top
    activate_window "$wid" || return 1
    info=$(xwininfo -id "$wid")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    width=$(sed -n 's/^ *Width: *//p' <<<"$info")
    # left, right, top, bottom
    IFS=, read -r _ right top _ <<<"$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ' ')"
    xdotool mousemove $((x + width + ${right:-1} - 12)) $((y - ${top:-20} / 2)) click 1
}

# wait_for_file PATH [TIMEOUT]: waits until PATH exists. A file dialog has
# closed before the program writes or reads the file it named.
wait_for_file() {
    if ! wine_gui_until "${2:-10}" test -e "$1"; then
        echo "wine-gui: no file $1 within ${2:-10} s" >&2
        return 1
    fi
}

# screenshot FILE: the whole screen as an image (PNG by the file's name).
screenshot() {
    import -window root "$1"
}
