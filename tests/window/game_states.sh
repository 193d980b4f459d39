# What the real-window tests share: the game's window found, each change of screen it says waited
# for, the splash screens clicked past, and the game started to its title. Sourced; the caller
# defines fail and sets game (the program) and runs in the folder where zorb.log goes.
# Every wait below is bounded, and generous for a sanitizer's build on a busy machine: it returns
# as soon as what it waits for is there.
find_window() { # name -> window id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# The game's window, once the game has said its first state: SDL replaces the first window it
# opens as it makes the renderer, and only the one left is the game's.
game_window() { # name -> window id
    for _ in $(seq 600); do grep -q '^state ' zorb.log 2>/dev/null && break; sleep 0.1; done
    find_window "$1"
}

# The game says each change of screen on stderr ("state title", "state paused"...): every step
# waits for the state it leads to, however loaded the machine is.
export ZORB_STATE_LOG=1
seen=0 # the log's lines already waited past
wait_state() { # state, what failed
    local lines
    for _ in $(seq 600); do
        lines=$(wc -l <zorb.log)
        if tail -n "+$((seen + 1))" zorb.log | head -n "$((lines - seen))" | grep -qx "state $1"; then
            seen=$lines
            return 0
        fi
        sleep 0.1
    done
    fail "$2 (no \"state $1\" in the game's log: $(grep '^state' zorb.log | tail -3 | tr '\n' ' '))"
}

# A click cuts each splash screen short (the maker's logo to 2.4 s, the others to 0.4 s) and the
# title ignores clicks: click until the title shows.
skip_splash() {
    for _ in $(seq 60); do
        grep -q '^state title$' <(tail -n "+$((seen + 1))" zorb.log) && break
        xdotool click --window "$1" 1
        sleep 0.3
    done
    wait_state title "the splash screens did not lead to the title"
}

# The game started (with these arguments) and clicked past its splash screens to the title: its
# process in app, its window in win.
start_game() { # what failed without a window, the game's arguments...
    seen=0
    : >zorb.log # no state of the last game's left to be read
    "$game" "${@:2}" >zorb.log 2>&1 &
    app=$!
    win=$(game_window '^ZORB$') || fail "$1"
    skip_splash "$win"
}
