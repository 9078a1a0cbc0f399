# The import table of a PE file from `objdump -p`, for scripts/bench.sh: one line per DLL,
# in the table's order, its name and the number of functions imported from it.
/DLL Name:/ { dll = $3; order[++n] = dll; next }
dll != "" && /^\t[0-9a-f]+\t/ { count[dll]++ }
/^$/ && dll != "" && count[dll] > 0 { dll = "" }
END { for (i = 1; i <= n; i++) printf "%s %d\n", order[i], count[order[i]] }
