#!/bin/sh
# Runs a test against a real desktop keyring of its own: a private D-Bus session with a
# gnome-keyring-daemon whose login keyring is created and unlocked with a throwaway password, in a
# throwaway home, so nothing of the user's keyring is seen or touched.
#   with-keyring.sh <test> [arguments...]
# An empty password would not do: the daemon then wants a prompt to create the keyring.
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run \
    dbus-run-session -- sh -c 'printf x | gnome-keyring-daemon --unlock --daemonize --replace --components=secrets >/dev/null && exec "$@"' keyring "$@"
