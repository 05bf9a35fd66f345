// File-system services over the wide-character Win32 API. Every failure takes
// GetLastError() before any clean-up call can overwrite it.

#include <algorithm>

#include "platform/plataforma_win32.h"

namespace vorpel {

namespace {

constexpr DWORD kTramoLectura = 1 << 20;
constexpr DWORD kAtributosNoSimples =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool FallarCon(DWORD codigo, std::string& error) {
    error = DescribirErrorSistema(codigo);
    return false;
}

bool FallarConUltimoError(std::string& error) { return FallarCon(GetLastError(), error); }

class Busqueda {
public:
    explicit Busqueda(const std::wstring& patron)
        : manejador_(FindFirstFileW(patron.c_str(), &datos_)), codigo_(GetLastError()) {}
    ~Busqueda() {
        if (Abierta()) FindClose(manejador_);
    }
    Busqueda(const Busqueda&) = delete;
    Busqueda& operator=(const Busqueda&) = delete;

    bool Abierta() const { return manejador_ != INVALID_HANDLE_VALUE; }
    /// Error of FindFirstFileW when the search could not start.
    DWORD CodigoError() const { return codigo_; }
    const WIN32_FIND_DATAW& Actual() const { return datos_; }
    bool Siguiente() { return FindNextFileW(manejador_, &datos_) != FALSE; }

private:
    WIN32_FIND_DATAW datos_{};
    HANDLE manejador_;
    DWORD codigo_;
};

class Manejador {
public:
    explicit Manejador(HANDLE h) : h_(h) {}
    ~Manejador() {
        if (Valido()) CloseHandle(h_);
    }
    Manejador(const Manejador&) = delete;
    Manejador& operator=(const Manejador&) = delete;

    bool Valido() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    /// Closes now so that a failed close can be reported.
    bool Cerrar() {
        const BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

bool EsArchivoSimple(const WIN32_FIND_DATAW& datos) {
    return (datos.dwFileAttributes & kAtributosNoSimples) == 0;
}

std::wstring AMayusculasAncho(std::wstring texto) {
    if (!texto.empty()) CharUpperBuffW(texto.data(), static_cast<DWORD>(texto.size()));
    return texto;
}

// Wildcard match as the file system understands it, on upper-cased texts. It
// errs on the side of matching: "?" may also match nothing, and "X.*" also
// matches a name without a dot.
bool CoincideComodines(std::wstring_view nombre, std::wstring_view patron) {
    if (patron.empty()) return nombre.empty();
    if (patron[0] == L'*') {
        for (size_t i = 0; i <= nombre.size(); ++i) {
            if (CoincideComodines(nombre.substr(i), patron.substr(1))) return true;
        }
        return false;
    }
    if (patron[0] == L'?') {
        if (CoincideComodines(nombre, patron.substr(1))) return true;
        return !nombre.empty() && CoincideComodines(nombre.substr(1), patron.substr(1));
    }
    if (patron == L".*" && nombre.empty()) return true;
    return !nombre.empty() && nombre[0] == patron[0] &&
           CoincideComodines(nombre.substr(1), patron.substr(1));
}

// A pattern such as "*.vbp" also matches the 8.3 short name of
// "Proyecto.vbp_old" ("PROYEC~1.VBP"); only names whose own long spelling
// matches belong in a listing.
bool CoincideNombreLargo(const WIN32_FIND_DATAW& datos, const std::wstring& patronMayusculas) {
    if (datos.cAlternateFileName[0] == L'\0') return true;
    return CoincideComodines(AMayusculasAncho(datos.cFileName), patronMayusculas);
}

bool TerminaEnSeparador(const std::string& ruta) {
    return !ruta.empty() && (ruta.back() == '\\' || ruta.back() == '/');
}

}  // namespace

namespace {

// Only these say that nothing is there; any other failure means the system
// could not look (a drive not ready, a network error, access denied).
bool EsNoEncontrado(DWORD codigo) {
    return codigo == ERROR_FILE_NOT_FOUND || codigo == ERROR_PATH_NOT_FOUND ||
           codigo == ERROR_NO_MORE_FILES || codigo == ERROR_INVALID_NAME ||
           codigo == ERROR_INVALID_DRIVE || codigo == ERROR_BAD_PATHNAME;
}

bool FechaLocalDe(const FILETIME& utc, FechaHora& fecha, std::string& error) {
    FILETIME local{};
    SYSTEMTIME partes{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &partes)) {
        return FallarConUltimoError(error);
    }
    // SYSTEMTIME stops at milliseconds; the 100-ns ticks within the second
    // come from the FILETIME itself (the local offset is whole minutes).
    ULARGE_INTEGER ticks{};
    ticks.LowPart = local.dwLowDateTime;
    ticks.HighPart = local.dwHighDateTime;
    const int fraccion = static_cast<int>(ticks.QuadPart % 10000000ULL) * 100;
    fecha = FechaHora{partes.wYear, partes.wMonth,  partes.wDay,
                      partes.wHour, partes.wMinute, partes.wSecond, fraccion};
    return true;
}

bool EsSoloLectura(const std::wstring& ruta) {
    const DWORD atributos = GetFileAttributesW(ruta.c_str());
    return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (atributos & FILE_ATTRIBUTE_READONLY) != 0;
}

/// Writes a file's metadata through: after a rename, its new name.
bool VaciarAlDisco(const std::wstring& ruta, std::string& error) {
    Manejador archivo(CreateFileW(ruta.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!archivo.Valido()) return FallarConUltimoError(error);
    if (!FlushFileBuffers(archivo.Get())) return FallarConUltimoError(error);
    if (!archivo.Cerrar()) return FallarConUltimoError(error);
    return true;
}

/// What a search or an attributes call found of a file; the stored name is
/// the caller's to give.
bool LlenarDatos(DWORD atributos, const FILETIME& escrito, DWORD tamanoAlto, DWORD tamanoBajo,
                 DatosArchivo& datos, std::string& error) {
    if (!FechaLocalDe(escrito, datos.fecha, error)) return false;
    datos.tamano = (static_cast<uint64_t>(tamanoAlto) << 32) | tamanoBajo;
    datos.soloLectura = (atributos & FILE_ATTRIBUTE_READONLY) != 0;
    datos.oculto = (atributos & kAtributosNoSimples) != 0;
    ULARGE_INTEGER instante{};
    instante.LowPart = escrito.dwLowDateTime;
    instante.HighPart = escrito.dwHighDateTime;
    datos.instante = static_cast<int64_t>(instante.QuadPart);
    return true;
}

/// A folder (or a file) is there, from its attributes alone: one call.
Existencia ConsultarPorAtributos(const std::string& ruta, bool carpeta, std::string& error) {
    const DWORD atributos = GetFileAttributesW(Utf8AUtf16(ruta).c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) {
        const DWORD codigo = GetLastError();
        if (EsNoEncontrado(codigo)) return Existencia::Ausente;
        error = DescribirErrorSistema(codigo);
        return Existencia::Indeterminada;
    }
    const bool esCarpeta = (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return esCarpeta == carpeta ? Existencia::Presente : Existencia::Ausente;
}

}  // namespace

Existencia SistemaArchivosWin32::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                                  std::string& error) {
    // Whether a file is there, no more: its attributes are one call, where a
    // search opens the folder, reads it and closes it. A pattern needs the search.
    if (datos == nullptr && ruta.find_first_of("*?") == std::string::npos) {
        return ConsultarPorAtributos(ruta, false, error);
    }
    // One search on the path itself: it gives the name as stored, the size,
    // the time and the attributes at once.
    Busqueda busqueda(Utf8AUtf16(ruta));
    if (!busqueda.Abierta()) {
        if (EsNoEncontrado(busqueda.CodigoError())) return Existencia::Ausente;
        error = DescribirErrorSistema(busqueda.CodigoError());
        return Existencia::Indeterminada;
    }
    do {
        const WIN32_FIND_DATAW& hallado = busqueda.Actual();
        if ((hallado.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        if (datos != nullptr) {
            if (!LlenarDatos(hallado.dwFileAttributes, hallado.ftLastWriteTime,
                             hallado.nFileSizeHigh, hallado.nFileSizeLow, *datos, error)) {
                return Existencia::Indeterminada;
            }
            datos->nombreEnDisco = Utf16AUtf8(hallado.cFileName);
        }
        return Existencia::Presente;
    } while (busqueda.Siguiente());
    const DWORD codigo = GetLastError();
    if (codigo == ERROR_NO_MORE_FILES) return Existencia::Ausente;
    error = DescribirErrorSistema(codigo);
    return Existencia::Indeterminada;
}

Existencia SistemaArchivosWin32::ConsultarDatosEnDisco(const std::string& ruta,
                                                       DatosArchivo* datos, std::string& error) {
    if (datos == nullptr || ruta.find_first_of("*?") != std::string::npos) {
        return ConsultarArchivo(ruta, datos, error);
    }
    // The attributes call gives size, time and attributes in one, without
    // the search that would give the stored name too.
    WIN32_FILE_ATTRIBUTE_DATA hallado{};
    if (!GetFileAttributesExW(Utf8AUtf16(ruta).c_str(), GetFileExInfoStandard, &hallado)) {
        const DWORD codigo = GetLastError();
        if (EsNoEncontrado(codigo)) return Existencia::Ausente;
        error = DescribirErrorSistema(codigo);
        return Existencia::Indeterminada;
    }
    if ((hallado.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Existencia::Ausente;
    if (!LlenarDatos(hallado.dwFileAttributes, hallado.ftLastWriteTime, hallado.nFileSizeHigh,
                     hallado.nFileSizeLow, *datos, error)) {
        return Existencia::Indeterminada;
    }
    datos->nombreEnDisco.clear();
    return Existencia::Presente;
}

Existencia SistemaArchivosWin32::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    if (ruta.empty()) return Existencia::Ausente;
    // Attributes, not a listing: an empty drive root must count as present.
    return ConsultarPorAtributos(ruta, true, error);
}

namespace {

/// Calls `cada` with every entry a search of `carpeta` for `patron` finds. A
/// folder that is there with nothing matching is no error.
template <typename Cada>
bool Recorrer(const std::string& carpeta, const std::string& patron, Cada&& cada,
              std::string& error) {
    std::string completo = carpeta;
    if (!completo.empty() && !TerminaEnSeparador(completo)) completo += '\\';
    completo += patron;

    Busqueda busqueda(Utf8AUtf16(completo));
    if (!busqueda.Abierta()) {
        const DWORD codigo = busqueda.CodigoError();
        if (codigo == ERROR_FILE_NOT_FOUND || codigo == ERROR_NO_MORE_FILES) {
            // "Nothing matches" and "no such folder" look alike here; only the
            // second one is an error.
            const std::wstring carpetaAncha = Utf8AUtf16(carpeta.empty() ? "." : carpeta);
            const DWORD atributos = GetFileAttributesW(carpetaAncha.c_str());
            if (atributos == INVALID_FILE_ATTRIBUTES) return FallarConUltimoError(error);
            if ((atributos & FILE_ATTRIBUTE_DIRECTORY) == 0)
                return FallarCon(ERROR_DIRECTORY, error);
            return true;
        }
        return FallarCon(codigo, error);
    }
    do {
        if (!cada(busqueda.Actual())) return false;
    } while (busqueda.Siguiente());
    const DWORD codigo = GetLastError();
    if (codigo != ERROR_NO_MORE_FILES) return FallarCon(codigo, error);
    return true;
}

}  // namespace

bool SistemaArchivosWin32::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                          std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    const size_t corte = patron.find_last_of("\\/");
    const std::wstring patronNombre = AMayusculasAncho(
        Utf8AUtf16(corte == std::string::npos ? patron : patron.substr(corte + 1)));
    const bool ok = Recorrer(
        carpeta, patron,
        [&](const WIN32_FIND_DATAW& datos) {
            if (EsArchivoSimple(datos) && CoincideNombreLargo(datos, patronNombre)) {
                nombres.push_back(Utf16AUtf8(datos.cFileName));
            }
            return true;
        },
        error);
    if (!ok) nombres.clear();
    return ok;
}

bool SistemaArchivosWin32::ListarConDatos(const std::string& carpeta,
                                          std::vector<DatosArchivo>& archivos,
                                          std::string& error) {
    archivos.clear();
    const bool ok = Recorrer(
        carpeta, "*",
        [&](const WIN32_FIND_DATAW& hallado) {
            if ((hallado.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
            DatosArchivo datos;
            if (!LlenarDatos(hallado.dwFileAttributes, hallado.ftLastWriteTime,
                             hallado.nFileSizeHigh, hallado.nFileSizeLow, datos, error)) {
                return false;
            }
            datos.nombreEnDisco = Utf16AUtf8(hallado.cFileName);
            archivos.push_back(std::move(datos));
            return true;
        },
        error);
    if (!ok) archivos.clear();
    return ok;
}

bool SistemaArchivosWin32::LeerBytes(const std::string& ruta, std::string& bytes,
                                     std::string& error) {
    return Leer(ruta, nullptr, bytes, error);
}

bool SistemaArchivosWin32::LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                              std::string& bytes, std::string& error) {
    return Leer(ruta, &tamano, bytes, error);
}

bool SistemaArchivosWin32::Leer(const std::string& ruta, const uint64_t* tamano,
                                std::string& bytes, std::string& error) {
    bytes.clear();
    Manejador archivo(CreateFileW(Utf8AUtf16(ruta).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!archivo.Valido()) return FallarConUltimoError(error);

    // The size a look-up gave: one read asks for a byte more, and getting
    // exactly that size is the end. Otherwise (and after a read that got
    // more or less) the reads go on until one returns nothing; the system is
    // not asked the size, each call costs.
    if (tamano != nullptr && *tamano < kTramoLectura) {
        bytes.resize(static_cast<size_t>(*tamano) + 1);
        DWORD leidos = 0;
        if (!ReadFile(archivo.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &leidos,
                      nullptr)) {
            const DWORD codigo = GetLastError();
            bytes.clear();
            return FallarCon(codigo, error);
        }
        bytes.resize(leidos);
        if (leidos == *tamano) return true;
    }
    std::string tramo(kTramoLectura, '\0');
    for (;;) {
        DWORD leidos = 0;
        if (!ReadFile(archivo.Get(), tramo.data(), kTramoLectura, &leidos, nullptr)) {
            const DWORD codigo = GetLastError();
            bytes.clear();
            return FallarCon(codigo, error);
        }
        if (leidos == 0) break;
        bytes.append(tramo, 0, leidos);
    }
    return true;
}

namespace {

bool EscribirTodo(HANDLE archivo, const std::string& bytes, std::string& error) {
    size_t escritos = 0;
    while (escritos < bytes.size()) {
        const DWORD pedido =
            static_cast<DWORD>(std::min<size_t>(bytes.size() - escritos, kTramoLectura));
        DWORD hechos = 0;
        if (!WriteFile(archivo, bytes.data() + escritos, pedido, &hechos, nullptr)) {
            return FallarConUltimoError(error);
        }
        if (hechos == 0) return FallarCon(ERROR_WRITE_FAULT, error);
        escritos += hechos;
    }
    return true;
}

}  // namespace

bool SistemaArchivosWin32::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                                std::string& error) {
    Manejador archivo(CreateFileW(Utf8AUtf16(ruta).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!archivo.Valido()) return FallarConUltimoError(error);

    if (!EscribirTodo(archivo.Get(), bytes, error)) return false;
    // The caller replaces the original with this file next; its bytes must be
    // on the disk before that.
    if (!FlushFileBuffers(archivo.Get())) return FallarConUltimoError(error);
    if (!archivo.Cerrar()) return FallarConUltimoError(error);
    return true;
}

bool SistemaArchivosWin32::EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                           bool& iguales, std::string& error) {
    iguales = false;
    Manejador archivo(CreateFileW(Utf8AUtf16(ruta).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!archivo.Valido()) return FallarConUltimoError(error);
    if (!EscribirTodo(archivo.Get(), bytes, error)) return false;
    if (!FlushFileBuffers(archivo.Get())) return FallarConUltimoError(error);
    // Read back through the handle written, from the start: no second open.
    std::string leidos;
    if (bytes.size() < kTramoLectura) {
        leidos.resize(bytes.size() + 1);
        OVERLAPPED desde{};
        DWORD hechos = 0;
        if (!ReadFile(archivo.Get(), leidos.data(), static_cast<DWORD>(leidos.size()), &hechos,
                      &desde)) {
            return FallarConUltimoError(error);
        }
        leidos.resize(hechos);
    }
    if (!archivo.Cerrar()) return FallarConUltimoError(error);
    if (bytes.size() >= kTramoLectura) {
        // A large file is read back as any other.
        if (!LeerBytesConTamano(ruta, bytes.size(), leidos, error)) return false;
    }
    iguales = leidos == bytes;
    return true;
}

bool SistemaArchivosWin32::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) {
    Manejador archivo(CreateFileW(Utf8AUtf16(ruta).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!archivo.Valido()) return FallarConUltimoError(error);
    if (!EscribirTodo(archivo.Get(), bytes, error)) return false;
    if (!archivo.Cerrar()) return FallarConUltimoError(error);
    return true;
}

bool SistemaArchivosWin32::Renombrar(const std::string& origen, const std::string& destino,
                                     std::string& error) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target is refused.
    if (!MoveFileExW(Utf8AUtf16(origen).c_str(), Utf8AUtf16(destino).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
        return FallarConUltimoError(error);
    }
    return true;
}

bool SistemaArchivosWin32::Reemplazar(const std::string& origen, const std::string& destino,
                                      std::string& error) {
    const std::wstring destinoAncho = Utf8AUtf16(destino);
    // Not every system refuses to replace a read-only file by itself.
    if (EsSoloLectura(destinoAncho)) return FallarCon(ERROR_ACCESS_DENIED, error);
    if (!MoveFileExW(Utf8AUtf16(origen).c_str(), destinoAncho.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FallarConUltimoError(error);
    }
    return true;
}

bool SistemaArchivosWin32::ReemplazarConRespaldo(const std::string& nuevo,
                                                 const std::string& destino,
                                                 const std::string& respaldo, std::string& error) {
    std::wstring destinoAncho = Utf8AUtf16(destino);
    const std::wstring nuevoAncho = Utf8AUtf16(nuevo);
    const std::wstring respaldoAncho = Utf8AUtf16(respaldo);
    // The replaced file keeps its name as stored (a rename would give it the
    // spelling passed here); the same search tells whether it is read-only.
    {
        Busqueda busqueda(destinoAncho);
        if (!busqueda.Abierta()) return FallarCon(busqueda.CodigoError(), error);
        const DWORD atributos = busqueda.Actual().dwFileAttributes;
        if ((atributos & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            return FallarCon(ERROR_ACCESS_DENIED, error);
        }
        const size_t barra = destinoAncho.find_last_of(L"\\/");
        if (barra != std::wstring::npos) {
            destinoAncho = destinoAncho.substr(0, barra + 1) + busqueda.Actual().cFileName;
        }
    }
    return ReemplazarGuardandoViejo(nuevoAncho, destinoAncho, respaldoAncho, error);
}

bool SistemaArchivosWin32::ReemplazarConRespaldoComoEnDisco(const std::string& nuevo,
                                                            const std::string& destino,
                                                            const std::string& respaldo,
                                                            std::string& error) {
    // Spelled as stored already: the attributes alone, for the read-only
    // refusal not every system makes by itself.
    const std::wstring destinoAncho = Utf8AUtf16(destino);
    const DWORD atributos = GetFileAttributesW(destinoAncho.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) return FallarConUltimoError(error);
    if ((atributos & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return FallarCon(ERROR_ACCESS_DENIED, error);
    }
    return ReemplazarGuardandoViejo(Utf8AUtf16(nuevo), destinoAncho, Utf8AUtf16(respaldo), error);
}

bool SistemaArchivosWin32::ReemplazarGuardandoViejo(const std::wstring& nuevoAncho,
                                                    const std::wstring& destinoAncho,
                                                    const std::wstring& respaldoAncho,
                                                    std::string& error) {
    // A second name for the old file, then the new one moved over the first:
    // the file is never missing, and the old one stays as the backup.
    if (CreateHardLinkW(respaldoAncho.c_str(), destinoAncho.c_str(), nullptr)) {
        if (!MoveFileExW(nuevoAncho.c_str(), destinoAncho.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD codigo = GetLastError();
            DeleteFileW(respaldoAncho.c_str());
            return FallarCon(codigo, error);
        }
        return true;
    }
    const DWORD codigo = GetLastError();
    if (codigo != ERROR_NOT_SUPPORTED && codigo != ERROR_INVALID_FUNCTION) {
        return FallarCon(codigo, error);
    }
    // A volume without hard links (FAT): the system's replace moves the old
    // file aside first; a failure half-way leaves it under the backup's name.
    if (!ReplaceFileW(destinoAncho.c_str(), nuevoAncho.c_str(), respaldoAncho.c_str(),
                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return FallarConUltimoError(error);
    }
    return VaciarAlDisco(destinoAncho, error);
}

bool SistemaArchivosWin32::Copiar(const std::string& origen, const std::string& destino,
                                  std::string& error) {
    const std::wstring destinoAncho = Utf8AUtf16(destino);
    // CopyFileW keeps the source's last-modified time, and its attributes.
    if (!CopyFileW(Utf8AUtf16(origen).c_str(), destinoAncho.c_str(), TRUE)) {
        return FallarConUltimoError(error);
    }
    // A read-only copy could not be replaced by the next one.
    const DWORD atributos = GetFileAttributesW(destinoAncho.c_str());
    bool ok = atributos != INVALID_FILE_ATTRIBUTES;
    if (ok && (atributos & FILE_ATTRIBUTE_READONLY) != 0) {
        ok = SetFileAttributesW(destinoAncho.c_str(), atributos & ~FILE_ATTRIBUTE_READONLY) != 0;
    }
    if (!ok) {
        (void)FallarConUltimoError(error);
    } else {
        ok = VaciarAlDisco(destinoAncho, error);
    }
    if (!ok) DeleteFileW(destinoAncho.c_str());
    return ok;
}

bool SistemaArchivosWin32::CopiarDesdeBytes(const std::string& origen, const std::string& destino,
                                            const std::string& bytes, const DatosArchivo& datos,
                                            std::string& error) {
    if (datos.instante == 0) return Copiar(origen, destino, error);
    const std::wstring destinoAncho = Utf8AUtf16(destino);
    bool ok = false;
    {
        Manejador archivo(CreateFileW(destinoAncho.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!archivo.Valido()) return FallarConUltimoError(error);
        ULARGE_INTEGER instante{};
        instante.QuadPart = static_cast<ULONGLONG>(datos.instante);
        const FILETIME escrito{instante.LowPart, instante.HighPart};
        // The time is set last: the writes would change it again.
        ok = EscribirTodo(archivo.Get(), bytes, error) &&
             (SetFileTime(archivo.Get(), nullptr, nullptr, &escrito) != 0 ||
              FallarConUltimoError(error)) &&
             (FlushFileBuffers(archivo.Get()) != 0 || FallarConUltimoError(error)) &&
             (archivo.Cerrar() || FallarConUltimoError(error));
    }
    // A partial copy must not pass for a complete one (a backup, say).
    if (!ok) DeleteFileW(destinoAncho.c_str());
    return ok;
}

bool SistemaArchivosWin32::Borrar(const std::string& ruta, std::string& error) {
    if (!DeleteFileW(Utf8AUtf16(ruta).c_str())) return FallarConUltimoError(error);
    return true;
}

bool SistemaArchivosWin32::CrearCarpeta(const std::string& ruta, std::string& error) {
    if (!CreateDirectoryW(Utf8AUtf16(ruta).c_str(), nullptr)) return FallarConUltimoError(error);
    return true;
}

bool SistemaArchivosWin32::Sincronizar(const std::vector<std::string>&, std::string&) {
    return true;
}

Uso SistemaArchivosWin32::ConsultarUso(const std::string& ruta, std::string& error) {
    // Opened for writing and closed again, sharing everything: only a program
    // that shares nothing keeps it out. Nothing is written, nor any time changed.
    const HANDLE h = CreateFileW(Utf8AUtf16(ruta).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return Uso::Libre;
    }
    const DWORD codigo = GetLastError();
    if (EsNoEncontrado(codigo)) return Uso::Libre;
    error = DescribirErrorSistema(codigo);
    return codigo == ERROR_SHARING_VIOLATION || codigo == ERROR_LOCK_VIOLATION ||
                   codigo == ERROR_ACCESS_DENIED
               ? Uso::EnUso
               : Uso::Indeterminado;
}

namespace {

std::wstring RutaCerrojo(const std::string& carpeta) {
    return Utf8AUtf16(carpeta + (TerminaEnSeparador(carpeta) ? "" : "\\") + kNombreCerrojo);
}

/// The holder's line at the start of the lock file; empty when unreadable.
std::string LeerLineaCerrojo(const std::wstring& ruta) {
    // The holder writes and deletes it: only a reader sharing both may open it.
    Manejador archivo(CreateFileW(ruta.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!archivo.Valido()) return {};
    char bloque[512];
    DWORD leidos = 0;
    if (!ReadFile(archivo.Get(), bloque, sizeof bloque, &leidos, nullptr)) return {};
    std::string linea(bloque, leidos);
    const size_t fin = linea.find_first_of("\r\n");
    if (fin != std::string::npos) linea.resize(fin);
    return linea;
}

class CerrojoWin32 final : public Cerrojo {
public:
    explicit CerrojoWin32(HANDLE archivo) : archivo_(archivo) {}
    // The file was opened to be deleted on close.
    ~CerrojoWin32() override { CloseHandle(archivo_); }
    CerrojoWin32(const CerrojoWin32&) = delete;
    CerrojoWin32& operator=(const CerrojoWin32&) = delete;

private:
    HANDLE archivo_;
};

}  // namespace

std::unique_ptr<Cerrojo> SistemaArchivosWin32::TomarCerrojo(const std::string& carpeta,
                                                            const std::string& descripcion,
                                                            std::string& ocupadoPor,
                                                            std::string& error) {
    ocupadoPor.clear();
    error.clear();
    const std::wstring ruta = RutaCerrojo(carpeta);
    // Shared for reading only: a second taker, asking to write, meets a
    // sharing violation, and nobody may delete or rename the file meanwhile.
    HANDLE archivo = CreateFileW(ruta.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                 FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (archivo == INVALID_HANDLE_VALUE) {
        const DWORD codigo = GetLastError();
        // Access is denied to a file still there while it waits to be
        // deleted: a holder let go while someone was reading its line.
        if (codigo == ERROR_SHARING_VIOLATION ||
            (codigo == ERROR_ACCESS_DENIED &&
             GetFileAttributesW(ruta.c_str()) != INVALID_FILE_ATTRIBUTES)) {
            ocupadoPor = LeerLineaCerrojo(ruta);
            return nullptr;
        }
        error = DescribirErrorSistema(codigo);
        return nullptr;
    }
    // A file a power cut left still holds its old line. The line only names
    // the holder: the lock stands even when it cannot be written.
    const std::string linea = descripcion + "\r\n";
    DWORD escritos = 0;
    if (SetEndOfFile(archivo)) {
        (void)WriteFile(archivo, linea.data(), static_cast<DWORD>(linea.size()), &escritos,
                        nullptr);
    }
    return std::make_unique<CerrojoWin32>(archivo);
}

bool SistemaArchivosWin32::ConsultarCerrojo(const std::string& carpeta) {
    // Asking to write meets the holder's refusal to share writing; nothing
    // is written.
    HANDLE archivo = CreateFileW(RutaCerrojo(carpeta).c_str(), FILE_WRITE_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (archivo != INVALID_HANDLE_VALUE) {
        CloseHandle(archivo);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace vorpel
