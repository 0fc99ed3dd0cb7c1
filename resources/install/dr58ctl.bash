# bash completion for dr58ctl(1): commands, options, ports (local and rfc2217:// or tcp://), rates,
# formats, presets, directories, profile, site plan and firmware files; the "net" commands' second
# word.
# The commands and options are read from the program's own --help while completing, so they are
# always those of the dr58ctl that runs.

# Offered for --baud: "auto" and the modem's serial rates (any rate from 50 to 4000000 may be typed).
_dr58ctl_rates='auto 4800 7200 9600 14400 19200 28800 38400 57600 115200 230400 460800 921600'

# One line for each option "dr58ctl COMMAND --help" lists: name, value name ("<port>", empty
# for an option without a value) and description, separated by tabs.
_dr58ctl_options()
{
    "$@" --help 2>/dev/null | awk '
        function flush() { if (name != "") print name "\t" value "\t" text; name = "" }
        /^Options:/ { inside = 1; next }
        !inside { next }
        /^$/ { flush(); exit }
        /^ +-/ {
            flush()
            line = $0; sub(/^ +/, "", line)
            gap = index(line, "  ")
            syntax = gap ? substr(line, 1, gap - 1) : line
            text = gap ? substr(line, gap) : ""
            value = ""
            n = split(syntax, parts, /[ ,]+/)
            for (i = 1; i <= n; i++) {
                if (parts[i] ~ /^--/) name = parts[i]
                else if (parts[i] ~ /^</) value = parts[i]
            }
            next
        }
        { text = text " " $0 }
        END { flush() }' | sed 's/\t *\([^\t]*\)$/\t\1/; s/  */ /g'
}

# Local serial ports, and the beginnings of a port on a serial device server.
_dr58ctl_ports()
{
    local port ports=(rfc2217:// tcp://)
    for port in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS*; do
        [[ -e $port ]] && ports+=("$port")
    done
    COMPREPLY=($(compgen -W "${ports[*]}" -- "$cur"))
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *:// ]] && compopt -o nospace 2>/dev/null
}

# The values named in --format's description ("Profile format: ini (default) or json.").
_dr58ctl_formats()
{
    local formats
    formats=$(sed 's/.*: //; s/ (default)//g; s/\.$//; s/,\? or / /g; s/,//g' <<<"$1")
    COMPREPLY=($(compgen -W "$formats" -- "$cur"))
}

# The presets named in --preset's description ("... in any case: PMP Master, PMP Slave, ...").
_dr58ctl_presets()
{
    local description=$1 typed=${cur//\\/} preset
    typed=${typed#[\"\']}
    local IFS=$'\n'
    for preset in $(sed 's/.*: //; s/\.$//; s/, /\n/g' <<<"$description"); do
        [[ $preset == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$preset")")
    done
}

# What to offer for the word being completed; cur keeps its colons (rfc2217://HOST:PORT).
_dr58ctl_complete()
{
    if ((cword == 1)); then
        local commands
        commands=$("$1" --help 2>/dev/null |
            awk '/^Commands:/ { inside = 1; next } /^$/ { inside = 0 } inside && !seen[$1]++ { print $1 }')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    # "net check", "net audit", "net plan": a command of two words.
    local command=(${words[1]})
    if [[ ${words[1]} == net ]]; then
        if ((cword == 2)); then
            COMPREPLY=($(compgen -W "$("$1" --help 2>/dev/null | awk '$1 == "net" { print $2 }')" -- "$cur"))
            return
        fi
        command+=("${words[2]}")
    fi

    local options option
    options=$(_dr58ctl_options "$1" "${command[@]}")
    option=$(awk -F'\t' -v name="$prev" '$1 == name && $2 != ""' <<<"$options")
    if [[ -n $option ]]; then
        # A number (<n>, <seconds>) gets nothing offered.
        case $(cut -f2 <<<"$option") in
        '<port>') _dr58ctl_ports ;;
        '<rate>') COMPREPLY=($(compgen -W "$_dr58ctl_rates" -- "$cur")) ;;
        '<format>') _dr58ctl_formats "$(cut -f3 <<<"$option")" ;;
        '<name>') _dr58ctl_presets "$(cut -f3 <<<"$option")" ;;
        '<dir>') _filedir -d ;;
        '<file>') if [[ $prev == --firmware ]]; then _filedir stz; else _filedir; fi ;;
        esac
        return
    fi
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(cut -f1 <<<"$options")" -- "$cur"))
        return
    fi
    # The command's argument, as its usage line names it: "Usage: dr58ctl apply [options] PROFILE".
    case $("$1" "${command[@]}" --help 2>/dev/null | sed -n '1s/.*\[options\] *//p') in
    PROFILE | PLAN | '[PLAN]') _filedir '@(ini|json)' ;;
    FILE) _filedir stz ;;
    esac
}

_dr58ctl()
{
    local cur prev words cword split
    _init_completion -s -n : || return
    _dr58ctl_complete "$1"
    __ltrim_colon_completions "$cur"
} &&
    complete -F _dr58ctl dr58ctl
