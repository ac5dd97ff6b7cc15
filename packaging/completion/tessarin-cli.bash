# bash completion for tessarin-cli: its commands, their options, and file names where an
# option or argument takes a file (game logs and sight logs where it reads one).
#
# A new command is one line in each table below, a new option one word in the first. An
# option that takes a value says which after "=": "game" a game log or sight log to
# read, "file" any file, "dir" a folder, "value" something no completion can guess.

_tessarin_cli_game_pattern='@(rcg|slg|slh|rcg.gz|slg.gz|slh.gz)'

declare -gA _tessarin_cli_options=(
    [info]="--json --max-records=value"
    [convert]="--format=value --max-records=value"
    [analyze]="--out=dir --events --stats-json --plan --dump-positions --opponent-model --max-records=value"
    [record]="--format=value --host=value --port=value --protocol=value --out=file --cycles=value --seconds=value --idle=value"
    [scene]="--cycle=value --self=value --out=file --max-records=value"
    [autoplay]="--client=file --client-param=value --goalie-param=value --goalie-num=value --host=value
        --port=value --rounds=value --pause=value"
    [summary]="--team=value --jobs=value --csv=file --json=file"
    [compare]="--team=value --jobs=value --json=file"
    [export-csv]="--out=file"
)
# What the words that are not options are: "game" game files read, "none" nothing.
declare -gA _tessarin_cli_arguments=(
    [info]=game
    [convert]=game
    [analyze]=game
    [record]=none
    [scene]=game
    [autoplay]=none
    [summary]=game
    [compare]=game
    [export-csv]=game
)

# Completes file names of the kind given: game, file or dir.
_tessarin_cli_complete_kind() {
    local IFS=$'\n'
    case $1 in
    game)
        if declare -F _filedir >/dev/null; then
            _filedir "$_tessarin_cli_game_pattern"
        else
            COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X "!*.$_tessarin_cli_game_pattern" -- "$cur"))
        fi
        ;;
    file)
        if declare -F _filedir >/dev/null; then _filedir; else COMPREPLY=($(compgen -f -- "$cur")); fi
        ;;
    dir)
        if declare -F _filedir >/dev/null; then _filedir -d; else COMPREPLY=($(compgen -d -- "$cur")); fi
        ;;
    esac
}

_tessarin_cli() {
    local cur prev command="" i word
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    shopt -s extglob
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ -v _tessarin_cli_options[${COMP_WORDS[i]}] ]]; then
            command=${COMP_WORDS[i]}
            break
        fi
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "${!_tessarin_cli_options[*]}" -- "$cur"))
        fi
        return
    fi

    local names=()
    for word in ${_tessarin_cli_options[$command]}; do
        names+=("${word%%=*}")
        if [[ $word == "$prev="* ]]; then
            _tessarin_cli_complete_kind "${word#*=}"
            return
        fi
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${names[*]} --help" -- "$cur"))
    else
        _tessarin_cli_complete_kind "${_tessarin_cli_arguments[$command]}"
    fi
}

complete -F _tessarin_cli tessarin-cli
