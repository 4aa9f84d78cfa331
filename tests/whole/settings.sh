# Writes a default VANTREL.SET into the current directory, then sets bytes:
#   write_settings OFFSET=BYTE ...   (decimal offset, byte as two hex digits)
write_settings() {
    local bytes=(
        3=01 4=01 12=e8 13=03 16=01 20=01 28=64 32=64 37=03 46=89 47=40 54=79 55=40
        61=40 62=79 63=40 70=49 71=40 3090=06 3096=56 "$@")
    head -c 3104 /dev/zero > VANTREL.SET
    for b in "${bytes[@]}"; do
        printf "\\x${b#*=}" | dd of=VANTREL.SET bs=1 seek="${b%=*}" conv=notrunc status=none
    done
}

# The windows of the real program on an X server: the script runs again on a
# private Xvfb (with_xvfb.sh) unless DISPLAY is set, and the window tests'
# offscreen platform is not inherited. Call it as: on_x_server "$@"
# Under the sanitizer build, what the system's libraries keep at exit is not
# reported as a leak of ours.
on_x_server() {
    unset QT_QPA_PLATFORM
    case "${LSAN_OPTIONS:-}" in *lsan.supp*) ;; *)
        export LSAN_OPTIONS="suppressions=$(realpath "$(dirname "${BASH_SOURCE[0]}")")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" ;;
    esac
    [ -n "${DISPLAY:-}" ] || exec "$(dirname "$0")/with_xvfb.sh" "$0" "$@"
}
