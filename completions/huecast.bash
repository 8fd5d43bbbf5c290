# bash completion for huecast                              -*- shell-script -*-
# Options come only before the colour code or the first filter; -- ends them.

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
        [[ ${words[i]} == -- || ${words[i]} != --* ]] && return
    done

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--color= --colour= --file= --set= --list-sets --help --version --' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    fi
} &&
    complete -F _huecast huecast

# ex: filetype=sh
