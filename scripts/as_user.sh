# shellcheck shell=bash
# Sourced by the set-up commands. They run as the user; only installing packages needs root.
# Started as root on a checkout that another user owns (sudo out of habit), they give the
# build back to that user, so no file in the checkout ends up owned by root. CI, root on its
# own checkout, stays root.

# Installs what is missing (asks for root only if something is), then, when root runs on
# another user's checkout, starts the calling script again as that user. Arguments: the script
# (as seen from the checkout's root) and its arguments.
install_deps_then_run_as_owner() {
    scripts/install-deps.sh
    local owner
    owner=$(stat -c %U .)
    if [ "$(id -u)" -eq 0 ] && [ "$owner" != root ] && [ "$owner" != UNKNOWN ]; then
        echo "running as $owner, who owns this checkout"
        exec runuser -u "$owner" -- "$@"
    fi
}
