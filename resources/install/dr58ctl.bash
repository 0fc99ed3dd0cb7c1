# bash completion for dr58ctl(1): commands, options, ports, presets, profile and firmware files.
# The commands and options are read from the program's own --help while completing, so they are
# always those of the dr58ctl that runs.

# Offered for --baud (any rate from 50 to 4000000 may be typed) and --format.
_dr58ctl_rates='9600 19200 38400 57600 115200 230400 460800 921600'
_dr58ctl_formats='ini json'

# One line for each option "dr58ctl COMMAND --help" lists: name, value name ("<port>", empty
# for an option without a value) and description, separated by tabs.
_dr58ctl_options()
{
    "$1" "$2" --help 2>/dev/null | awk '
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

_dr58ctl_ports()
{
    local port ports=()
    for port in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS*; do
        [[ -e $port ]] && ports+=("$port")
    done
    COMPREPLY=($(compgen -W "${ports[*]}" -- "$cur"))
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

_dr58ctl()
{
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        local commands
        commands=$("$1" --help 2>/dev/null |
            awk '/^Commands:/ { inside = 1; next } /^$/ { inside = 0 } inside { print $1 }')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]} options option
    options=$(_dr58ctl_options "$1" "$command")
    option=$(awk -F'\t' -v name="$prev" '$1 == name && $2 != ""' <<<"$options")
    if [[ -n $option ]]; then
        case $(cut -f2 <<<"$option") in
        '<port>') _dr58ctl_ports ;;
        '<rate>') COMPREPLY=($(compgen -W "$_dr58ctl_rates" -- "$cur")) ;;
        '<format>') COMPREPLY=($(compgen -W "$_dr58ctl_formats" -- "$cur")) ;;
        '<name>') _dr58ctl_presets "$(cut -f3 <<<"$option")" ;;
        '<dir>') _filedir -d ;;
        '<file>') _filedir ;;
        esac
        return
    fi
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(cut -f1 <<<"$options")" -- "$cur"))
        return
    fi
    # The command's argument, as its usage line names it: "Usage: dr58ctl apply [options] PROFILE".
    case $("$1" "$command" --help 2>/dev/null | sed -n '1s/.*\[options\] *//p') in
    PROFILE) _filedir '@(ini|json)' ;;
    FILE) _filedir stz ;;
    esac
} &&
    complete -F _dr58ctl dr58ctl
