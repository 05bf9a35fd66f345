#include "preview/vista_previa.h"

#include "platform/rutas.h"
#include "platform/texto.h"
#include "preview/diferencias.h"

namespace vorpel {

namespace {

const char* Etiqueta(CambioSimulado::Tipo tipo) {
    switch (tipo) {
        case CambioSimulado::Tipo::Nuevo:
            return "nuevo       ";
        case CambioSimulado::Tipo::Modificado:
            return "modificado  ";
        case CambioSimulado::Tipo::Borrado:
            return "borrado     ";
    }
    return "";
}

bool EsDelBackup(const std::string& ruta, const std::string& raizBackup) {
    const std::string raiz = ConBarraFinal(raizBackup);
    return !raiz.empty() && ruta.size() > raiz.size() &&
           IgualesSinMayusculas(std::string_view(ruta).substr(0, raiz.size()), raiz);
}

}  // namespace

std::vector<std::string> LineasDeCambios(const std::vector<CambioSimulado>& cambios,
                                         SistemaArchivos& real, const std::string& raizBackup) {
    std::vector<std::string> lineas;
    if (cambios.empty()) {
        lineas.push_back("Ningun archivo se escribiria.");
        return lineas;
    }
    lineas.push_back("Archivos que se escribirian: " + std::to_string(cambios.size()));
    for (const CambioSimulado& c : cambios)
        lineas.push_back("  " + std::string(Etiqueta(c.tipo)) + c.ruta);
    for (const CambioSimulado& c : cambios) {
        if (c.tipo == CambioSimulado::Tipo::Borrado || EsDelBackup(c.ruta, raizBackup)) continue;
        std::string antes;
        std::string sistema;
        if (c.tipo == CambioSimulado::Tipo::Modificado && !real.LeerBytes(c.ruta, antes, sistema)) {
            antes.clear();
        }
        lineas.push_back("");
        lineas.push_back("--- " + c.ruta);
        lineas.push_back("+++ " + c.ruta);
        if (antes.find('\0') != std::string::npos || c.bytes.find('\0') != std::string::npos) {
            lineas.push_back("(archivo binario: no se muestran sus lineas)");
            continue;
        }
        std::vector<std::string> hunks =
            DiferenciaUnificada(LineasDeBytes(antes), LineasDeBytes(c.bytes));
        if (hunks.empty()) {
            lineas.push_back(antes == c.bytes ? "(mismo contenido; cambia la fecha del archivo)"
                                              : "(solo cambian los fines de linea)");
        }
        lineas.insert(lineas.end(), hunks.begin(), hunks.end());
    }
    return lineas;
}

}  // namespace vorpel
