# The objects come as each project ends, in the listing's order: sorted, their
# place and seconds masked.
sed -E -e 's/"orden":[0-9]+/"orden":K/' -e 's/"segundos":[0-9]+\.[0-9]{3}/"segundos":S/' |
    filtrar_recompilacion | ordenar_tramos '^\{"proyecto":'
