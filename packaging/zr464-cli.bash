# bash completion for zr464-cli: subcommands, their options and the values
# the options take from a fixed set.

_zr464_cli() {
    local cur prev words cword
    _init_completion || return

    local connection="-i --interface --com --isa-base --ip --udp-port --udp-timeout
        -a --address -b --baud --json --trace --stats -h --help"
    local repeat="--watch --interval --count"
    local rates="600 1200 2400 4800 9600 19200 38400 57600 115200"

    case $prev in
        -i | --interface)
            COMPREPLY=($(compgen -W "com isa pci usb lan" -- "$cur"))
            return
            ;;
        -b | --baud)
            COMPREPLY=($(compgen -W "$rates" -- "$cur"))
            return
            ;;
        --com | --isa-base | --ip | --udp-port | --udp-timeout | -a | --address | \
            --interval | --count | --set | --on | --to | --addresses | --rates | --repeat)
            return
            ;;
        --from)
            _filedir
            return
            ;;
    esac

    # The subcommand (and the config or bus subcommand) given so far.
    local i sub="" subsub=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            -*) ;;
            *)
                if [[ -z $sub ]]; then
                    sub=${words[i]}
                elif [[ ($sub == config || $sub == bus) && -z $subsub ]]; then
                    subsub=${words[i]}
                fi
                ;;
        esac
    done

    local options=""
    case $sub in
        "")
            COMPREPLY=($(compgen -W "identify inputs status watchdog outputs scan send config bus commission
                -h --help --version" -- "$cur"))
            return
            ;;
        config)
            case $subsub in
                "")
                    COMPREPLY=($(compgen -W "show save diff load -h --help" -- "$cur"))
                    return
                    ;;
                show) options=$connection ;;
                save) options=$connection ;;
                diff) options="$connection --with-address" ;;
                load) options="$connection --to --with-address --force" ;;
            esac
            if [[ $subsub != show && $cur != -* ]]; then
                _filedir cfm
                return
            fi
            ;;
        bus)
            case $subsub in
                "")
                    COMPREPLY=($(compgen -W "save diff watch -h --help" -- "$cur"))
                    return
                    ;;
                save | diff) options="$connection --addresses --rates --from" ;;
                watch)
                    if [[ ${COMP_WORDS[COMP_CWORD - 1]} == --from ]]; then
                        _filedir
                        return
                    fi
                    options="$connection --modules --from --period --count"
                    ;;
            esac
            if [[ $subsub != watch && $cur != -* ]]; then
                _filedir -d
                return
            fi
            ;;
        identify) options=$connection ;;
        inputs) options="$connection $repeat" ;;
        status) options="$connection --clear $repeat" ;;
        watchdog) options="$connection --set $repeat" ;;
        outputs) options="$connection --on" ;;
        scan) options="$connection --addresses --rates" ;;
        commission)
            case ${COMP_WORDS[COMP_CWORD - 1]} in
                --report) _filedir pdf; return ;;
                --expect) _filedir cfm; return ;;
            esac
            options="$connection --loopback --report --expect --operator --restore --response"
            ;;
        send) options="$connection --repeat --interval" ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
} &&
    complete -F _zr464_cli zr464-cli
