# fish completion for huecast
# Options come only before the colour code or the first filter; -- ends them; after --run
# come a command and its arguments, completed as that command's own are. The colour
# code is completed with the names of its colours: after one digit, the sixteen codes with
# that background; before any, the sixteen text colours on the terminal's own background.

# Succeeds while options may still come: nothing but options before the cursor, and no --run.
function __huecast_in_options
    for token in (commandline -opc)[2..-1]
        if test "$token" = --; or test "$token" = --run; or not string match -q -- '--*' $token
            return 1
        end
    end
    return 0
end

# Succeeds after the option $argv[1] among the options, as after --run.
function __huecast_after
    for token in (commandline -opc)[2..-1]
        test "$token" = $argv[1]; and return 0
        if test "$token" = --; or not string match -q -- '--*' $token
            return 1
        end
    end
    return 1
end

# What the command after --run and its arguments complete to, on their own.
function __huecast_command
    set -l tokens (commandline -opc) (commandline -ct)
    set -l at (contains -i -- --run $tokens)
    set -l command $tokens[(math $at + 1)..-1]
    # No command begins with a dash, and fish would read one as an option of its own.
    string match -q -- '-*' $command[1]; and return
    __fish_complete_subcommand --commandline $command
end

# Succeeds where the colour code goes: no argument but options before the cursor.
function __huecast_wants_colour_code
    set -l options_ended no
    for token in (commandline -opc)[2..-1]
        if test $options_ended = yes; or test "$token" = --run; or not string match -q -- '--*' $token
            return 1
        end
        test "$token" = --; and set options_ended yes
    end
    return 0
end

function __huecast_colour_codes
    set -l names Black Blue Green Aqua Red Purple Yellow White Gray 'Light blue' \
        'Light green' 'Light aqua' 'Light red' 'Light purple' 'Light yellow' 'Bright white'
    set -l digits 0 1 2 3 4 5 6 7 8 9 A B C D E F
    set -l background 0
    set -l ground "the terminal's background"
    set -l typed (commandline -ct)
    if string match -qr '^[0-9A-Fa-f]' -- $typed
        set background (string sub -l 1 -- $typed)
        set -l index (contains -i -- (string upper -- $background) $digits)
        test $index -gt 1; and set ground $names[$index]
    end
    for i in (seq 16)
        printf '%s%s\t%s on %s\n' $background $digits[$i] $names[$i] $ground
    end
end

# The names of the filter sets, each with the file it is read from (the second column).
function __huecast_sets
    set -l program (commandline -opc)[1]
    $program --list-sets 2>/dev/null | string replace -r '\r$' '' | string replace -r '^([^\t]*\t[^\t]*)\t.*' '$1'
end

complete -c huecast -f
complete -c huecast -n '__huecast_after --run' -x -a '(__huecast_command)'
complete -c huecast -n __huecast_in_options -l color -x -a 'auto always never' -d 'When to colour'
complete -c huecast -n __huecast_in_options -l colour -x -a 'auto always never' -d 'When to colour'
complete -c huecast -n __huecast_in_options -l filter -x -d 'Add a filter: styles, a comma, an expression'
complete -c huecast -n __huecast_in_options -l file -r -F -d 'Read filters from a file, one a line'
complete -c huecast -n __huecast_in_options -l set -x -a '(__huecast_sets)' -d 'Read a filter set by name'
complete -c huecast -n __huecast_in_options -l run -d 'Run a command, colouring its output and errors'
complete -c huecast -n __huecast_in_options -l list-sets -d 'List the filter sets found, with their files and commands'
complete -c huecast -n __huecast_in_options -l help -d 'Show the usage, the options and the environment variables'
complete -c huecast -n __huecast_in_options -l version -d 'Show the version and the licence'
complete -c huecast -n __huecast_in_options -a "'--'" -d 'End of the options'
complete -c huecast -n __huecast_wants_colour_code -k -a '(__huecast_colour_codes)'
