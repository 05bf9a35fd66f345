# The system's description of a refused deletion is worded by each platform.
s/^\(Copiado a origen pero NO se pudo borrar de DEV: quimbo\.bas\) (.*)$/\1 (DESCRIPCION DEL SISTEMA)/
