# Reads a GNU ld map of the installer and sums the bytes it placed by where they come
# from; prints "bytes<TAB>origin" lines.
function hex(s, i, n) {
    s = tolower(s)
    sub(/^0x/, "", s)
    n = 0
    for (i = 1; i <= length(s); i++)
        n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return n
}
/^Linker script and memory map/ { on = 1; next }
!on { next }
/^[.][A-Za-z_]/ { out = $1; pending = ""; next } # an output section
/^ [.][^ ]*$/ { pending = $1; next }             # an input section's name, alone on its line
{
    if (pending != "" && $1 ~ /^0x/ && NF >= 3) {
        sec = pending; size = hex($2); file = $3
    } else if ($1 ~ /^[.]/ && $2 ~ /^0x/ && NF >= 4) {
        sec = $1; size = hex($3); file = $4
    } else {
        pending = ""
        next
    }
    pending = ""
    if (size == 0)
        next
    if (out == ".eh_frame" || sec ~ /^[.]gcc_except_table/)
        kind = "unwind tables of all code (.eh_frame, .gcc_except_table)"
    else if (file ~ /libgcc_eh[.]a|libstdc[+][+][.]a|gthr-win32/)
        kind = "C++ exception run time (libgcc_eh unwinder, libstdc++ eh_*)"
    else if (file ~ /libtermika|TermikaSetUp[.]cpp/)
        kind = "the program's own code and data (src/)"
    else if (out == ".rsrc")
        kind = "resources (form, icon, version)"
    else if (out == ".idata" || out == ".reloc")
        kind = "import tables and base relocations"
    else
        kind = "MinGW start-up code and C library pieces"
    total[kind] += size
}
END {
    for (k in total)
        printf "%d\t%s\n", total[k], k
}
