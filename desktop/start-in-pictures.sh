#!/bin/sh
# Starts the program given in the arguments in the user's Pictures folder, or in the home folder
# where there is none: Bitvik and Tralloma find the settings file and the pictures in the folder
# they start in.
folder=$(xdg-user-dir PICTURES 2>/dev/null)
if [ -z "$folder" ] || [ ! -d "$folder" ]; then
    folder=$HOME
fi
cd "$folder" || exit 1
exec "$@"
