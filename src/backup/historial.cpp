#include "backup/historial.h"

#include <algorithm>
#include <cstdio>

#include "backup/backup.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

constexpr std::string_view kCabecera = "Backup de Vorpel";
constexpr std::string_view kComando = "Comando: ";
constexpr std::string_view kFecha = "Fecha: ";
constexpr std::string_view kArchivos = "Archivos: ";
constexpr std::string_view kExtension = ".txt";

bool LeerEntero(std::string_view texto, uint64_t& valor) {
    if (texto.empty() || texto.size() > 19) return false;
    valor = 0;
    for (const char c : texto) {
        if (c < '0' || c > '9') return false;
        valor = valor * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

/// "yyyy-mm-dd hh:nn:ss.nnnnnnnnn": the file system's whole precision, so
/// that a copy can be matched to the run that made it.
std::string TextoFechaExacta(const FechaHora& f) {
    char texto[48];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d %02d:%02d:%02d.%09d", f.anio, f.mes, f.dia,
                  f.hora, f.minuto, f.segundo, f.nanosegundo);
    return texto;
}

bool LeerFechaExacta(std::string_view texto, FechaHora& f) {
    if (texto.size() != 29 || texto[4] != '-' || texto[7] != '-' || texto[10] != ' ' ||
        texto[13] != ':' || texto[16] != ':' || texto[19] != '.') {
        return false;
    }
    uint64_t v[7];
    const size_t inicio[7] = {0, 5, 8, 11, 14, 17, 20};
    const size_t largo[7] = {4, 2, 2, 2, 2, 2, 9};
    for (int i = 0; i < 7; ++i) {
        if (!LeerEntero(texto.substr(inicio[i], largo[i]), v[i])) return false;
    }
    f = FechaHora{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                  static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5]),
                  static_cast<int>(v[6])};
    return true;
}

/// "dd/mm/yyyy hh:nn:ss", as TextoFechaHoraFijo writes it.
bool LeerFechaFija(std::string_view texto, FechaHora& f) {
    if (texto.size() != 19 || texto[2] != '/' || texto[5] != '/' || texto[10] != ' ' ||
        texto[13] != ':' || texto[16] != ':') {
        return false;
    }
    uint64_t v[6];
    const size_t inicio[6] = {0, 3, 6, 11, 14, 17};
    const size_t largo[6] = {2, 2, 4, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        if (!LeerEntero(texto.substr(inicio[i], largo[i]), v[i])) return false;
    }
    f = FechaHora{static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[0]),
                  static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5])};
    return true;
}

bool EsHexSha256(std::string_view texto) {
    return texto.size() == 64 && std::all_of(texto.begin(), texto.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

/// A run name split into its second and its number within that second (1
/// for none); false for a name that is not a run's.
bool PartirCorrida(std::string_view nombre, std::string_view& base, uint64_t& numero) {
    if (nombre.size() < 15 || nombre[8] != '_') return false;
    base = nombre.substr(0, 15);
    for (size_t i = 0; i < 15; ++i) {
        if (i != 8 && (base[i] < '0' || base[i] > '9')) return false;
    }
    numero = 1;
    if (nombre.size() == 15) return true;
    return nombre[15] == '_' && LeerEntero(nombre.substr(16), numero) && numero >= 2 &&
           nombre.substr(16, 1) != "0";
}

}  // namespace

std::string TextoManifiesto(const Manifiesto& manifiesto) {
    std::string texto;
    texto.reserve(128 + manifiesto.archivos.size() * 160);
    texto += kCabecera;
    texto += "\r\n";
    texto += std::string(kComando) + manifiesto.comando + "\r\n";
    texto += std::string(kFecha) + TextoFechaHoraFijo(manifiesto.fecha) + "\r\n";
    texto += std::string(kArchivos) + std::to_string(manifiesto.archivos.size()) + "\r\n";
    for (const EntradaManifiesto& e : manifiesto.archivos) {
        texto += e.ruta + "\t" + std::to_string(e.tamano) + "\t" + TextoFechaExacta(e.fecha) +
                 "\t" + e.sha256 + "\r\n";
    }
    return texto;
}

bool InterpretarManifiesto(std::string_view texto, Manifiesto& manifiesto) {
    ListaLineas lineas = DividirLineas(texto);
    // The file ends with a line break: one last empty line, and nothing after it.
    if (lineas.size() < 5 || !lineas.back().empty()) return false;
    lineas.pop_back();
    if (lineas[0] != kCabecera || !lineas[1].starts_with(kComando) ||
        !lineas[2].starts_with(kFecha) || !lineas[3].starts_with(kArchivos)) {
        return false;
    }
    Manifiesto leido;
    leido.comando = lineas[1].substr(kComando.size());
    uint64_t cantidad = 0;
    if (!LeerFechaFija(std::string_view(lineas[2]).substr(kFecha.size()), leido.fecha) ||
        !LeerEntero(std::string_view(lineas[3]).substr(kArchivos.size()), cantidad) ||
        cantidad != lineas.size() - 4) {
        return false;
    }
    for (size_t i = 4; i < lineas.size(); ++i) {
        const std::string_view linea = lineas[i];
        std::vector<std::string_view> campos;
        size_t inicio = 0;
        for (size_t tab; (tab = linea.find('\t', inicio)) != std::string_view::npos;) {
            campos.push_back(linea.substr(inicio, tab - inicio));
            inicio = tab + 1;
        }
        campos.push_back(linea.substr(inicio));
        EntradaManifiesto e;
        if (campos.size() != 4 || campos[0].empty() || !LeerEntero(campos[1], e.tamano) ||
            !LeerFechaExacta(campos[2], e.fecha) || !EsHexSha256(campos[3])) {
            return false;
        }
        e.ruta = std::string(campos[0]);
        e.sha256 = std::string(campos[3]);
        leido.archivos.push_back(std::move(e));
    }
    manifiesto = std::move(leido);
    return true;
}

std::string NombreCorridaBase(const FechaHora& f) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%04d%02d%02d_%02d%02d%02d", f.anio, f.mes, f.dia, f.hora,
                  f.minuto, f.segundo);
    return texto;
}

bool CorridaAnterior(const std::string& a, const std::string& b) {
    std::string_view baseA, baseB;
    uint64_t numeroA = 0, numeroB = 0;
    const bool validaA = PartirCorrida(a, baseA, numeroA);
    const bool validaB = PartirCorrida(b, baseB, numeroB);
    if (!validaA || !validaB) return a < b;
    if (baseA != baseB) return baseA < baseB;
    return numeroA < numeroB;
}

std::string CarpetaHistorial(const std::string& carpetaBackup) {
    return carpetaBackup + "\\" + kCarpetaHistorial;
}

std::string RutaManifiesto(const std::string& carpetaBackup, const std::string& corrida) {
    return CarpetaHistorial(carpetaBackup) + "\\" + corrida + std::string(kExtension);
}

std::string RutaEnHistorial(const std::string& carpetaBackup, const std::string& corrida,
                            const std::string& rutaOrigen) {
    return RutaEspejoBackup(CarpetaHistorial(carpetaBackup) + "\\" + corrida, rutaOrigen);
}

bool ListarCorridas(Contexto& ctx, const std::string& carpetaBackup,
                    std::vector<std::string>& corridas, std::string& error) {
    corridas.clear();
    const std::string carpeta = CarpetaHistorial(carpetaBackup);
    std::string sistema;
    switch (ExisteCarpeta(ctx, carpeta, sistema)) {
        case Existencia::Ausente:
            return true;
        case Existencia::Indeterminada:
            error = "No se pudo revisar la carpeta: " + carpeta + " - " + sistema;
            return false;
        case Existencia::Presente:
            break;
    }
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(carpeta, "*.txt", nombres, sistema)) {
        error = "No se pudo revisar la carpeta: " + carpeta + " - " + sistema;
        return false;
    }
    for (const std::string& nombre : nombres) {
        if (nombre.size() <= kExtension.size() ||
            !IgualesSinMayusculas(
                std::string_view(nombre).substr(nombre.size() - kExtension.size()), kExtension)) {
            continue;
        }
        const std::string corrida = nombre.substr(0, nombre.size() - kExtension.size());
        std::string_view base;
        uint64_t numero = 0;
        if (PartirCorrida(corrida, base, numero)) corridas.push_back(corrida);
    }
    std::sort(corridas.begin(), corridas.end(), CorridaAnterior);
    return true;
}

bool LeerManifiesto(Contexto& ctx, const std::string& carpetaBackup, const std::string& corrida,
                    Manifiesto& manifiesto, std::string& error) {
    const std::string ruta = RutaManifiesto(carpetaBackup, corrida);
    std::string bytes, sistema;
    if (!ctx.archivos.LeerBytes(ruta, bytes, sistema)) {
        std::string ignorado;
        if (ExisteArchivo(ctx, ruta, ignorado) == Existencia::Ausente) {
            error = "No existe el manifiesto: " + ruta;
        } else {
            error = "No se pudo leer el archivo: " + ruta + " - " + sistema;
        }
        return false;
    }
    if (!InterpretarManifiesto(BytesATexto(bytes), manifiesto)) {
        error = "El manifiesto no es valido: " + ruta;
        return false;
    }
    return true;
}

}  // namespace vorpel
