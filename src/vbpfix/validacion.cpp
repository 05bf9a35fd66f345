#include "vbpfix/validacion.h"

#include "backup/backup.h"
#include "textfiles/archivo_texto.h"
#include "disco/reparacion.h"
#include "vbpfix/clasificacion_linea.h"
#include "vbpfix/referencias.h"

namespace vorpel {

bool ValidarVbp(Contexto& ctx, std::string_view texto, const std::string& carpetaProyecto,
                std::string& mensaje) {
    if (ObtenerNombreProyecto(texto).empty()) {
        mensaje = "El .vbp quedo sin Name= valido.";
        return false;
    }

    int fenDrik = 0, ucMorvan = 0, pravixBarRep = 0, pravixBar = 0, moduloBarra = 0;
    for (const std::string& linea : DividirLineas(texto)) {
        const LineaClasificada c = ClasificarLineaVbp(linea);
        if (c.pravix2) {
            mensaje =
                "Persisten referencias OCX viejas en el .vbp: " + std::string(Recortar(linea));
            return false;
        }
        switch (c.tipo) {
            case TipoLineaVbp::FenDrik:
                ++fenDrik;
                break;
            case TipoLineaVbp::UCMorvan:
                ++ucMorvan;
                break;
            case TipoLineaVbp::PravixBarRep:
                ++pravixBarRep;
                break;
            case TipoLineaVbp::PravixBar:
                ++pravixBar;
                break;
            case TipoLineaVbp::ModuloPravixBar:
                ++moduloBarra;
                break;
            case TipoLineaVbp::UCMorvan2013:  // checked for existence, not counted
            case TipoLineaVbp::Otra:
                break;
        }

        std::string ruta;
        const char* falta = nullptr;
        if (c.clave == "FORM") {
            ruta = ResolverRuta(carpetaProyecto, ValorDeLinea(linea));
            falta = "Formulario inexistente en el .vbp: ";
        } else if (c.clave == "MODULE") {
            ruta = ResolverRuta(carpetaProyecto, ArchivoDeModulo(linea));
            falta = "Modulo inexistente en el .vbp: ";
        } else if (c.clave == "USERCONTROL") {
            ruta = ResolverRuta(carpetaProyecto, ValorDeLinea(linea));
            falta = "UserControl inexistente en el .vbp: ";
        }
        if (falta == nullptr) continue;
        std::string sistema;
        const Existencia existe = ExisteArchivo(ctx, ruta, sistema);
        if (existe == Existencia::Indeterminada) {
            mensaje = TextoNoSePudoComprobar(ruta, sistema);
            return false;
        }
        if (existe == Existencia::Ausente) {
            mensaje = falta + ruta;
            return false;
        }
    }

    const auto fallar = [&mensaje](const char* linea, const char* final) {
        mensaje = std::string("La linea '") + linea + final;
        return false;
    };
    constexpr const char* kUnaSolaVez = "' debe existir una sola vez.";
    constexpr const char* kSinDuplicar = "' no puede estar duplicada.";
    if (fenDrik != 1) return fallar(kLineaFenDrik, kUnaSolaVez);
    if (ucMorvan > 1) return fallar(kLineaUCMorvan, kSinDuplicar);
    if (pravixBarRep > 1) return fallar(kLineaPravixBarRep, kSinDuplicar);
    if (pravixBar != 1) return fallar(kLineaPravixBar, kUnaSolaVez);
    if (moduloBarra != 1) return fallar(kLineaModuloPravixBar, kUnaSolaVez);
    return true;
}

}  // namespace vorpel
