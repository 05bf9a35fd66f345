#include "vbpfix/referencias.h"

#include <utility>

#include "backup/backup.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "vbpfix/clasificacion_linea.h"

namespace vorpel {

namespace {

// The in-house paths in the comparable form of NormalizarRuta, computed once:
// the classifier runs on every line of every project of a batch.
struct RutasComparables {
    std::string fenDrik = NormalizarRuta("..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl");
    std::string ucMorvan = NormalizarRuta("..\\zel_lib\\OCXNEW\\UCMorvan\\UCMorvan.ctl");
    std::string ucMorvan2013 = NormalizarRuta("..\\zel_lib\\2013\\UCMorvan\\UCMorvan.ctl");
    std::string pravixBarRep = NormalizarRuta("PravixBarRep.ctl");
    std::string pravixBar = NormalizarRuta("PravixBar.ctl");
    std::string moduloPravixBar = NormalizarRuta(kModuloPravixBar);
    std::string quimbo = NormalizarRuta("quimbo.bas");
    std::string zt417kq = NormalizarRuta("ZT417kq.bas");
    std::string modSelvira = NormalizarRuta("ModSelvira.bas");
};

const RutasComparables& Rutas() {
    static const RutasComparables rutas;
    return rutas;
}

// Notes whether a module file is one of the base modules that need ModSelvira,
// or ModSelvira itself. Whole-path comparison: a folder in front does not count.
void AnotarModulo(std::string_view archivoModulo, bool& hayModuloBase, bool& hayModSelvira) {
    const RutasComparables& r = Rutas();
    const std::string archivo = NormalizarRuta(archivoModulo);
    if (archivo == r.quimbo || archivo == r.zt417kq) hayModuloBase = true;
    if (archivo == r.modSelvira) hayModSelvira = true;
}

bool DifiereDeCanonica(std::string_view linea, std::string_view canonica) {
    return !IgualesSinMayusculas(Recortar(linea), canonica);
}

}  // namespace

LineaClasificada ClasificarLineaVbp(std::string_view linea) {
    LineaClasificada c;
    c.pravix2 = ContieneSinMayusculas(linea, "Pravix2.ctl");
    c.clave = ClaveDeLinea(linea);
    const RutasComparables& r = Rutas();
    if (c.clave == "USERCONTROL") {
        const std::string valor = NormalizarRuta(ValorDeLinea(linea));
        if (valor == r.fenDrik) {
            c.tipo = TipoLineaVbp::FenDrik;
        } else if (valor == r.ucMorvan) {
            c.tipo = TipoLineaVbp::UCMorvan;
        } else if (valor == r.ucMorvan2013) {
            c.tipo = TipoLineaVbp::UCMorvan2013;
        } else if (valor == r.pravixBarRep) {
            c.tipo = TipoLineaVbp::PravixBarRep;
        } else if (valor == r.pravixBar) {
            c.tipo = TipoLineaVbp::PravixBar;
        }
    } else if (c.clave == "MODULE") {
        if (NormalizarRuta(ArchivoDeModulo(linea)) == r.moduloPravixBar) {
            c.tipo = TipoLineaVbp::ModuloPravixBar;
        }
    }
    return c;
}

bool EsLineaPravix2(std::string_view linea) { return ContieneSinMayusculas(linea, "Pravix2.ctl"); }
bool EsLineaFenDrik(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::FenDrik;
}
bool EsLineaUCMorvan(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::UCMorvan;
}
bool EsLineaUCMorvan2013(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::UCMorvan2013;
}
bool EsLineaPravixBarRep(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::PravixBarRep;
}
bool EsLineaPravixBar(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::PravixBar;
}
bool EsLineaModuloPravixBar(std::string_view linea) {
    return ClasificarLineaVbp(linea).tipo == TipoLineaVbp::ModuloPravixBar;
}

std::string ConvertirReferenciasVbp(std::string_view texto, bool& cambiado) {
    ListaLineas entrada = DividirLineas(texto);
    ListaLineas salida;
    salida.reserve(entrada.size() + 6);

    int fenDrik = 0, ucMorvan = 0, pravixBarRep = 0, pravixBar = 0, moduloBarra = 0;
    bool quiereUCMorvan = false, quierePravixBarRep = false;
    bool hayModuloBase = false, hayModSelvira = false;

    // Keeps the first occurrence of an in-house line (as written or in its
    // canonical form) and drops the later ones.
    auto conservarPrimera = [&](int& cuenta, std::string& linea, const char* canonica) {
        if (++cuenta > 1) {
            cambiado = true;
            return;
        }
        if (canonica == nullptr) {
            salida.push_back(std::move(linea));
            return;
        }
        if (DifiereDeCanonica(linea, canonica)) cambiado = true;
        salida.emplace_back(canonica);
    };

    for (std::string& linea : entrada) {
        const LineaClasificada c = ClasificarLineaVbp(linea);
        if (c.pravix2) {
            cambiado = true;
            if (ContieneSinMayusculas(linea, "PravixRep2021.ocx")) quierePravixBarRep = true;
            if (ContieneSinMayusculas(linea, "ucmorv.ocx")) quiereUCMorvan = true;
            continue;
        }
        switch (c.tipo) {
            case TipoLineaVbp::FenDrik:
                conservarPrimera(fenDrik, linea, nullptr);
                break;
            case TipoLineaVbp::UCMorvan:
            case TipoLineaVbp::UCMorvan2013:
                quiereUCMorvan = true;
                conservarPrimera(ucMorvan, linea, kLineaUCMorvan);
                break;
            case TipoLineaVbp::PravixBarRep:
                conservarPrimera(pravixBarRep, linea, nullptr);
                break;
            case TipoLineaVbp::PravixBar:
                conservarPrimera(pravixBar, linea, nullptr);
                break;
            case TipoLineaVbp::ModuloPravixBar:
                conservarPrimera(moduloBarra, linea, kLineaModuloPravixBar);
                break;
            case TipoLineaVbp::Otra:
                if (c.clave == "MODULE") {
                    AnotarModulo(ArchivoDeModulo(linea), hayModuloBase, hayModSelvira);
                }
                salida.push_back(std::move(linea));
                break;
        }
    }

    // The missing lines go in one block right after the last file-list line.
    size_t posicion = PosicionTrasArchivos(salida);
    auto insertar = [&](const char* linea) {
        InsertarLinea(salida, static_cast<long long>(posicion), linea);
        ++posicion;
        cambiado = true;
    };
    if (fenDrik == 0) insertar(kLineaFenDrik);
    if (quiereUCMorvan && ucMorvan == 0) insertar(kLineaUCMorvan);
    if (quierePravixBarRep && pravixBarRep == 0) insertar(kLineaPravixBarRep);
    if (pravixBar == 0) insertar(kLineaPravixBar);
    if (moduloBarra == 0) insertar(kLineaModuloPravixBar);

    // Same result as AgregarModuloSelvira on the joined text, without splitting
    // it again: the inserted lines are file-list lines placed at `posicion`, so
    // the position after the last file-list line is still `posicion`, and none
    // of them is a base module or ModSelvira.
    if (hayModuloBase && !hayModSelvira) insertar(kLineaModSelvira);

    return UnirLineas(salida);
}

bool AgregarModuloSelvira(std::string_view texto, std::string& resultado) {
    ListaLineas lineas = DividirLineas(texto);
    bool hayModuloBase = false, hayModSelvira = false;
    for (const std::string& linea : lineas) {
        if (ClaveDeLinea(linea) == "MODULE") {
            AnotarModulo(ArchivoDeModulo(linea), hayModuloBase, hayModSelvira);
        }
    }
    if (!hayModuloBase || hayModSelvira) {
        resultado.assign(texto);
        return false;
    }
    InsertarLinea(lineas, static_cast<long long>(PosicionTrasArchivos(lineas)), kLineaModSelvira);
    resultado = UnirLineas(lineas);
    return true;
}

bool CopiarModuloPravixBar(Contexto& ctx, const std::string& carpetaProyecto, std::string& destino,
                           bool& copiado, std::string& mensaje) {
    destino = carpetaProyecto + kModuloPravixBar;
    std::string sistema;
    // Looks that cannot tell stop the copy: a module taken for missing would
    // be copied over the project's own.
    const auto existe = [&](const std::string& ruta, bool& presente) {
        const Existencia e = ExisteArchivo(ctx, ruta, sistema);
        if (e == Existencia::Indeterminada) {
            mensaje = TextoNoSePudoComprobar(ruta, sistema);
            return false;
        }
        presente = e == Existencia::Presente;
        return true;
    };
    bool presente = false;
    if (!existe(destino, presente)) return false;
    if (presente) return true;

    const std::string origen = ctx.rutas.carpetaOrigen + kModuloPravixBar;
    std::string fuente = origen;
    if (!existe(fuente, presente)) return false;
    if (!presente) {
        fuente = ctx.carpetaDev + "\\" + kModuloPravixBar;
        if (!existe(fuente, presente)) return false;
        if (!presente) {
            // The origin copy is the one the user is expected to provide.
            mensaje = "No se encontro el modulo fuente a copiar: " + origen;
            return false;
        }
    }
    // The copy replaces the destination only once complete: one that breaks
    // off leaves nothing behind.
    std::vector<CopiaArchivo> copia{{fuente, destino, false, false, {}, {}}};
    CopiarArchivos(ctx, copia, true);
    // A copy in place whose flush failed is still the command's to remove.
    copiado = copia[0].puesta;
    if (!copia[0].hecha) {
        mensaje = copia[0].error;
        return false;
    }
    return true;
}

}  // namespace vorpel
