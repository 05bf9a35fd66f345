# The system's own text follows, in the language of the system: only its presence is checked.
grep -aqE '^  ERROR al lanzar el compilador: .+' "$UNIDAD_C/DEV/Herramientas"/Recompilacion_*.txt ||
    fallo "the log lacks the launch error"
