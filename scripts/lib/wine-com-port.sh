# Maps a COM port of the Wine prefix to a serial device the way Wine is
# configured for one: a value under HKLM\Software\Wine\Ports, which Wine's
# mount manager turns into the dosdevices link, the SERIALCOMM entry and the
# DOS device name when the server starts. A bare dosdevices link opens as
# well, but neither SERIALCOMM nor QueryDosDevice lists it, not even after a
# restart, so a search over the system's ports would not try it. To be
# sourced by a bash script with WINEPREFIX set.

# wine_map_com_port WINE WINESERVER NUMBER DEVICE: the prefix's only mapped
# port is then COM<NUMBER> (besides those Wine finds itself, such as
# /dev/ttyS0 as COM1), and Wine lists it. Restarts the server; returns 1 when
# Wine does not list the port within about 10 s.
wine_map_com_port() {
    local wine=$1 wineserver=$2 number=$3 device=$4
    rm -f "$WINEPREFIX"/dosdevices/com[0-9]*
    "$wine" reg delete 'HKLM\Software\Wine\Ports' /va /f >/dev/null 2>&1 || true
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v "COM$number" /d "$device" /f >/dev/null 2>&1 || return 1
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    local _
    for _ in $(seq 20); do
        "$wine" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' | grep -qw "COM$number" &&
            return 0
        sleep 0.5
    done
    return 1
}
