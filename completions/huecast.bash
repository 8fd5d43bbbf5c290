# bash completion for huecast                              -*- shell-script -*-
# Options come only before the colour code or the first filter; -- ends them. After --run
# come a command and its arguments, completed as bash completes that command.

_huecast()
{
    local cur prev words cword split
    _init_completion -s || return

    if [[ $split == true ]]; then
        case $prev in
            --color | --colour)
                COMPREPLY=($(compgen -W 'auto always never' -- "$cur"))
                ;;
            --file)
                _filedir
                ;;
            --set)
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$("${words[0]}" --list-sets 2>/dev/null | cut -f1)" -- "$cur"))
                ;;
        esac
        return
    fi

    local i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --run)
                _command_offset $((i + 1))
                return
                ;;
        esac
        [[ ${words[i]} == -- || ${words[i]} != --* ]] && return
    done

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--color= --colour= --filter= --file= --set= --run --list-sets --help --version --' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    fi
} &&
    complete -F _huecast huecast

# ex: filetype=sh
