// The Win32 file-system services on a real disk, inside a scoped temporary
// folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

void BorrarArbol(const std::wstring& carpeta) {
    WIN32_FIND_DATAW datos{};
    HANDLE busqueda = FindFirstFileW((carpeta + L"\\*").c_str(), &datos);
    if (busqueda != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring nombre = datos.cFileName;
            if (nombre == L"." || nombre == L"..") continue;
            const std::wstring ruta = carpeta + L"\\" + nombre;
            SetFileAttributesW(ruta.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (datos.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                BorrarArbol(ruta);
            } else {
                DeleteFileW(ruta.c_str());
            }
        } while (FindNextFileW(busqueda, &datos));
        FindClose(busqueda);
    }
    RemoveDirectoryW(carpeta.c_str());
}

/// A fresh folder under the system's temporary folder, removed with its
/// contents at the end of the test.
class CarpetaTemporal {
public:
    CarpetaTemporal() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        for (unsigned intento = 0; ruta_.empty(); ++intento) {
            const std::wstring candidata =
                std::wstring(temp) + L"vorpel_prueba_" + std::to_wstring(GetCurrentProcessId()) +
                L"_" + std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(intento);
            if (CreateDirectoryW(candidata.c_str(), nullptr)) ruta_ = candidata;
            if (intento > 100) break;
        }
    }
    ~CarpetaTemporal() {
        if (!ruta_.empty()) BorrarArbol(ruta_);
    }
    CarpetaTemporal(const CarpetaTemporal&) = delete;
    CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

    std::string Ruta() const { return Utf16AUtf8(ruta_); }
    std::string Ruta(const std::string& nombre) const { return Ruta() + "\\" + nombre; }

private:
    std::wstring ruta_;
};

class ArchivosWin32 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(carpeta_.Ruta().empty()); }

    void Crear(const std::string& nombre, const std::string& bytes = "x") {
        std::string error;
        ASSERT_TRUE(archivos_->EscribirArchivoNuevo(carpeta_.Ruta(nombre), bytes, error)) << error;
    }
    void PonerAtributos(const std::string& nombre, DWORD atributos) {
        ASSERT_TRUE(SetFileAttributesW(Utf8AUtf16(carpeta_.Ruta(nombre)).c_str(), atributos));
    }
    bool Existe(const std::string& ruta) {
        std::string error;
        return archivos_->ConsultarArchivo(ruta, nullptr, error) == Existencia::Presente;
    }
    bool EsCarpeta(const std::string& ruta) {
        std::string error;
        return archivos_->ConsultarCarpeta(ruta, error) == Existencia::Presente;
    }
    DatosArchivo Datos(const std::string& nombre) {
        DatosArchivo datos;
        std::string error;
        EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta(nombre), &datos, error),
                  Existencia::Presente)
            << error;
        return datos;
    }
    std::string Leer(const std::string& nombre) {
        std::string bytes, error;
        EXPECT_TRUE(archivos_->LeerBytes(carpeta_.Ruta(nombre), bytes, error)) << error;
        return bytes;
    }
    std::vector<std::string> Listar(const std::string& patron) {
        std::vector<std::string> nombres;
        std::string error;
        EXPECT_TRUE(archivos_->ListarArchivos(carpeta_.Ruta(), patron, nombres, error)) << error;
        std::sort(nombres.begin(), nombres.end());
        return nombres;
    }
    /// Sets the last-modified time from a local date and time.
    void PonerFecha(const std::string& nombre, WORD anio, WORD mes, WORD dia, WORD hora,
                    WORD minuto, WORD segundo) {
        SYSTEMTIME partes{};
        partes.wYear = anio;
        partes.wMonth = mes;
        partes.wDay = dia;
        partes.wHour = hora;
        partes.wMinute = minuto;
        partes.wSecond = segundo;
        FILETIME local{}, universal{};
        ASSERT_TRUE(SystemTimeToFileTime(&partes, &local));
        // The inverse of the FileTimeToLocalFileTime that reads the time back.
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &universal));
        HANDLE h = CreateFileW(Utf8AUtf16(carpeta_.Ruta(nombre)).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &universal));
        CloseHandle(h);
    }

    CarpetaTemporal carpeta_;
    std::unique_ptr<SistemaArchivos> archivos_ = CrearSistemaArchivos();
};

using Nombres = std::vector<std::string>;

// --- Reading and writing ---

TEST_F(ArchivosWin32, WritesAndReadsBackEveryByteUnchanged) {
    std::string bytes;
    for (int vuelta = 0; vuelta < 3000; ++vuelta) bytes += static_cast<char>(vuelta % 256);
    bytes += "\r\n\n\r";
    Crear("datos.bin", bytes);
    EXPECT_EQ(Leer("datos.bin"), bytes);
}

TEST_F(ArchivosWin32, ReadsAnEmptyFileAsNoBytes) {
    Crear("vacio.txt", "");
    EXPECT_EQ(Leer("vacio.txt"), "");
}

TEST_F(ArchivosWin32, WritingRefusesAnExistingFileAndLeavesItAlone) {
    Crear("a.txt", "original");
    std::string error;
    EXPECT_FALSE(archivos_->EscribirArchivoNuevo(carpeta_.Ruta("a.txt"), "nuevo", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Leer("a.txt"), "original");
}

TEST_F(ArchivosWin32, AppendsOnlyToAnExistingFile) {
    Crear("registro.txt", "uno\r\n");
    std::string error;
    ASSERT_TRUE(archivos_->AgregarAlArchivo(carpeta_.Ruta("registro.txt"), "dos\r\n", error))
        << error;
    EXPECT_EQ(Leer("registro.txt"), "uno\r\ndos\r\n");
    EXPECT_FALSE(archivos_->AgregarAlArchivo(carpeta_.Ruta("falta.txt"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Existe(carpeta_.Ruta("falta.txt")));
}

TEST_F(ArchivosWin32, AFileHeldWithoutSharingIsInUseAndLookingLeavesItAsItWas) {
    Crear("salida.exe", "vieja");
    Crear("libre.exe", "libre");
    const DatosArchivo antes = Datos("libre.exe");
    std::string error;
    EXPECT_EQ(archivos_->ConsultarUso(carpeta_.Ruta("libre.exe"), error), Uso::Libre) << error;
    EXPECT_EQ(archivos_->ConsultarUso(carpeta_.Ruta("falta.exe"), error), Uso::Libre) << error;
    EXPECT_EQ(archivos_->ConsultarUso(carpeta_.Ruta("no\\hay.exe"), error), Uso::Libre) << error;
    // (A read-only file is not asked here: Wine run as root opens it for
    // writing. The batch refuses it from its attribute first.)
    EXPECT_EQ(Leer("libre.exe"), "libre");
    EXPECT_EQ(Datos("libre.exe").instante, antes.instante);

    // A compiler still running holds its output open and shares nothing.
    const HANDLE tomado = CreateFileW(Utf8AUtf16(carpeta_.Ruta("salida.exe")).c_str(),
                                      GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(tomado, INVALID_HANDLE_VALUE);
    error.clear();
    EXPECT_EQ(archivos_->ConsultarUso(carpeta_.Ruta("salida.exe"), error), Uso::EnUso);
    EXPECT_FALSE(error.empty());
    CloseHandle(tomado);
    EXPECT_EQ(archivos_->ConsultarUso(carpeta_.Ruta("salida.exe"), error), Uso::Libre) << error;
    EXPECT_EQ(Leer("salida.exe"), "vieja");
}

TEST_F(ArchivosWin32, MissingFileGivesTheSystemsDescription) {
    std::string bytes = "resto", error;
    EXPECT_FALSE(archivos_->LeerBytes(carpeta_.Ruta("no_hay.txt"), bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find("Error del sistema"), std::string::npos) << error;
    EXPECT_NE(error.back(), '\n');
    EXPECT_NE(error.back(), '\r');
    EXPECT_NE(error.back(), ' ');
}

TEST_F(ArchivosWin32, WritingIntoAMissingFolderFails) {
    std::string error;
    EXPECT_FALSE(archivos_->EscribirArchivoNuevo(carpeta_.Ruta("no_hay\\a.txt"), "x", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ArchivosWin32, HandlesNamesOutsideAscii) {
    const std::string nombre =
        "A\xC3\xB1o \xC3\x91"
        "and\xC3\xBA \xE2\x82\xAC.vbp";
    Crear(nombre, "contenido");
    EXPECT_EQ(Leer(nombre), "contenido");
    EXPECT_EQ(Listar("*.vbp"), Nombres{nombre});
}

// --- Renaming, copying, deleting, folders ---

TEST_F(ArchivosWin32, RenameRefusesAnExistingTargetAndKeepsBothFiles) {
    Crear("origen.txt", "origen");
    Crear("destino.txt", "destino");
    std::string error;
    EXPECT_FALSE(
        archivos_->Renombrar(carpeta_.Ruta("origen.txt"), carpeta_.Ruta("destino.txt"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Leer("origen.txt"), "origen");
    EXPECT_EQ(Leer("destino.txt"), "destino");
}

TEST_F(ArchivosWin32, RenameMovesTheFile) {
    Crear("origen.txt", "origen");
    std::string error;
    ASSERT_TRUE(
        archivos_->Renombrar(carpeta_.Ruta("origen.txt"), carpeta_.Ruta("nuevo.txt"), error))
        << error;
    EXPECT_FALSE(Existe(carpeta_.Ruta("origen.txt")));
    EXPECT_EQ(Leer("nuevo.txt"), "origen");
}

TEST_F(ArchivosWin32, CopyKeepsTheLastModifiedTime) {
    Crear("origen.frm", "texto");
    PonerFecha("origen.frm", 2001, 2, 3, 4, 5, 6);
    std::string error;
    ASSERT_TRUE(archivos_->Copiar(carpeta_.Ruta("origen.frm"), carpeta_.Ruta("copia.frm"), error))
        << error;
    EXPECT_EQ(Datos("copia.frm").fecha, (FechaHora{2001, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Leer("copia.frm"), "texto");
}

// A copy made from the bytes the command read: those bytes, the source's
// time to the tick, never over an existing file.
TEST_F(ArchivosWin32, CopyFromBytesHoldsThemWithTheSourcesTime) {
    Crear("origen.frm", "en el disco");
    PonerFecha("origen.frm", 2001, 2, 3, 4, 5, 6);
    const DatosArchivo origen = Datos("origen.frm");
    ASSERT_NE(origen.instante, 0);
    std::string error;
    ASSERT_TRUE(archivos_->CopiarDesdeBytes(carpeta_.Ruta("origen.frm"), carpeta_.Ruta("copia.frm"),
                                            "leido", origen, error))
        << error;
    EXPECT_EQ(Leer("copia.frm"), "leido");
    EXPECT_EQ(Datos("copia.frm").instante, origen.instante);
    EXPECT_EQ(Datos("copia.frm").fecha, (FechaHora{2001, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(archivos_->CopiarDesdeBytes(carpeta_.Ruta("origen.frm"),
                                             carpeta_.Ruta("copia.frm"), "otro", origen, error));
    EXPECT_EQ(Leer("copia.frm"), "leido");
}

TEST_F(ArchivosWin32, AWriteReadBackGivesWhatWasWrittenAndNeverReplaces) {
    std::string bytes;
    for (int vuelta = 0; vuelta < 3000; ++vuelta) bytes += static_cast<char>(vuelta % 256);
    std::string error;
    bool iguales = false;
    ASSERT_TRUE(archivos_->EscribirYReleer(carpeta_.Ruta("a.frm"), bytes, iguales, error)) << error;
    EXPECT_TRUE(iguales);
    EXPECT_EQ(Leer("a.frm"), bytes);
    EXPECT_FALSE(archivos_->EscribirYReleer(carpeta_.Ruta("a.frm"), "otro", iguales, error));
    EXPECT_EQ(Leer("a.frm"), bytes);
}

// The look-up that guards a replace needs no stored name: the same size,
// time and attributes as a full look-up, from one attributes call.
TEST_F(ArchivosWin32, ADataLookUpWithoutTheNameGivesWhatAFullOneGives) {
    Crear("Form1.frm", "texto");
    PonerFecha("Form1.frm", 2001, 2, 3, 4, 5, 6);
    const DatosArchivo completo = Datos("Form1.frm");
    DatosArchivo datos;
    std::string error;
    ASSERT_EQ(archivos_->ConsultarDatosEnDisco(carpeta_.Ruta("form1.FRM"), &datos, error),
              Existencia::Presente)
        << error;
    EXPECT_EQ(datos.tamano, completo.tamano);
    EXPECT_EQ(datos.fecha, completo.fecha);
    EXPECT_EQ(datos.instante, completo.instante);
    EXPECT_EQ(datos.soloLectura, completo.soloLectura);
    EXPECT_EQ(datos.oculto, completo.oculto);
    EXPECT_EQ(archivos_->ConsultarDatosEnDisco(carpeta_.Ruta("falta.frm"), &datos, error),
              Existencia::Ausente);
    EXPECT_EQ(archivos_->ConsultarDatosEnDisco(carpeta_.Ruta(), &datos, error),
              Existencia::Ausente);
}

TEST_F(ArchivosWin32, ModifiedTimeKeepsTheFractionOfTheSecond) {
    Crear("a.frm");
    PonerFecha("a.frm", 2001, 2, 3, 4, 5, 6);
    HANDLE h = CreateFileW(Utf8AUtf16(carpeta_.Ruta("a.frm")).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME escrito{};
    ASSERT_TRUE(GetFileTime(h, nullptr, nullptr, &escrito));
    ULARGE_INTEGER ticks{};
    ticks.LowPart = escrito.dwLowDateTime;
    ticks.HighPart = escrito.dwHighDateTime;
    ticks.QuadPart += 2500000;  // a quarter of a second later
    escrito.dwLowDateTime = ticks.LowPart;
    escrito.dwHighDateTime = ticks.HighPart;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &escrito));
    CloseHandle(h);

    EXPECT_EQ(Datos("a.frm").fecha, (FechaHora{2001, 2, 3, 4, 5, 6, 250000000}));
}

TEST_F(ArchivosWin32, CopyRefusesAnExistingTarget) {
    Crear("origen.txt", "origen");
    Crear("destino.txt", "destino");
    std::string error;
    EXPECT_FALSE(
        archivos_->Copiar(carpeta_.Ruta("origen.txt"), carpeta_.Ruta("destino.txt"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Leer("destino.txt"), "destino");
}

TEST_F(ArchivosWin32, DeleteRemovesTheFileAndFailsWhenItIsGone) {
    Crear("a.txt");
    std::string error;
    ASSERT_TRUE(archivos_->Borrar(carpeta_.Ruta("a.txt"), error)) << error;
    EXPECT_FALSE(Existe(carpeta_.Ruta("a.txt")));
    EXPECT_FALSE(archivos_->Borrar(carpeta_.Ruta("a.txt"), error));
    EXPECT_FALSE(error.empty());
}

// The size a look-up gave spares the read that finds the end; a file that
// has grown or shrunk since is still read whole.
TEST_F(ArchivosWin32, ReadWithTheLookedUpSizeReadsTheWholeFileAnyway) {
    Crear("a.txt", "12345");
    std::string leido, error;
    for (const uint64_t tamano : {5u, 3u, 9u, 0u}) {
        ASSERT_TRUE(archivos_->LeerBytesConTamano(carpeta_.Ruta("a.txt"), tamano, leido, error))
            << error;
        EXPECT_EQ(leido, "12345") << tamano;
    }
}

TEST_F(ArchivosWin32, CreatesOneFolderButNotItsMissingParent) {
    std::string error;
    ASSERT_TRUE(archivos_->CrearCarpeta(carpeta_.Ruta("uno"), error)) << error;
    EXPECT_TRUE(EsCarpeta(carpeta_.Ruta("uno")));
    EXPECT_FALSE(archivos_->CrearCarpeta(carpeta_.Ruta("dos\\tres"), error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ArchivosWin32, LookupOfAMissingFileOrFolderSaysAbsent) {
    std::string error;
    EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("no_hay.txt"), nullptr, error),
              Existencia::Ausente);
    EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("no_hay\\a.txt"), nullptr, error),
              Existencia::Ausente);
    EXPECT_EQ(archivos_->ConsultarCarpeta(carpeta_.Ruta("no_hay\\sub"), error),
              Existencia::Ausente);
}

// With or without the file's data asked for, a look-up tells the same.
TEST_F(ArchivosWin32, LookupWithoutDataTellsFilesFromFoldersAndFindsHiddenOnes) {
    Crear("a.txt");
    Crear("oculto.txt");
    PonerAtributos("oculto.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    std::string error;
    ASSERT_TRUE(archivos_->CrearCarpeta(carpeta_.Ruta("sub"), error)) << error;
    DatosArchivo datos;
    for (DatosArchivo* pedido : {static_cast<DatosArchivo*>(nullptr), &datos}) {
        EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("A.TXT"), pedido, error),
                  Existencia::Presente);
        EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("oculto.txt"), pedido, error),
                  Existencia::Presente);
        EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("sub"), pedido, error),
                  Existencia::Ausente);
        EXPECT_EQ(archivos_->ConsultarArchivo(carpeta_.Ruta("a.txt\\b"), pedido, error),
                  Existencia::Ausente)
            << error;
    }
    PonerAtributos("oculto.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ArchivosWin32, ReplacePutsTheFileInTheOthersPlaceAndRefusesReadOnly) {
    Crear("Viejo.frm", "viejo");
    Crear("nuevo.tmp", "nuevo");
    std::string error;
    ASSERT_TRUE(archivos_->Reemplazar(carpeta_.Ruta("nuevo.tmp"), carpeta_.Ruta("Viejo.frm"), error))
        << error;
    EXPECT_EQ(Leer("Viejo.frm"), "nuevo");
    EXPECT_FALSE(Existe(carpeta_.Ruta("nuevo.tmp")));
    Crear("otro.tmp", "otro");
    PonerAtributos("Viejo.frm", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(archivos_->Reemplazar(carpeta_.Ruta("otro.tmp"), carpeta_.Ruta("Viejo.frm"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Leer("Viejo.frm"), "nuevo");
}

// The save's atomic step: the new content takes the file's place, which keeps
// its name as stored, and the old file stays as the rollback copy.
// Given the stored spelling, the replace needs no search, and still refuses
// a read-only file, leaving everything as it was.
TEST_F(ArchivosWin32, ReplaceWithBackupOfAStoredSpellingRefusesReadOnly) {
    Crear("Form1.frm", "viejo");
    Crear("Form1.frm.tmp_vorpel", "nuevo");
    std::string error;
    ASSERT_TRUE(archivos_->ReemplazarConRespaldoComoEnDisco(
        carpeta_.Ruta("Form1.frm.tmp_vorpel"), carpeta_.Ruta("Form1.frm"),
        carpeta_.Ruta("Form1.frm.rollback_vorpel"), error))
        << error;
    EXPECT_EQ(Leer("Form1.frm"), "nuevo");
    EXPECT_EQ(Leer("Form1.frm.rollback_vorpel"), "viejo");
    Crear("Form2.frm", "viejo");
    Crear("Form2.frm.tmp_vorpel", "nuevo");
    ASSERT_TRUE(SetFileAttributesW(Utf8AUtf16(carpeta_.Ruta("Form2.frm")).c_str(),
                                   FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(archivos_->ReemplazarConRespaldoComoEnDisco(
        carpeta_.Ruta("Form2.frm.tmp_vorpel"), carpeta_.Ruta("Form2.frm"),
        carpeta_.Ruta("Form2.frm.rollback_vorpel"), error));
    EXPECT_EQ(Leer("Form2.frm"), "viejo");
    EXPECT_EQ(Leer("Form2.frm.tmp_vorpel"), "nuevo");
    EXPECT_FALSE(Existe(carpeta_.Ruta("Form2.frm.rollback_vorpel")));
    ASSERT_TRUE(SetFileAttributesW(Utf8AUtf16(carpeta_.Ruta("Form2.frm")).c_str(),
                                   FILE_ATTRIBUTE_NORMAL));
}

TEST_F(ArchivosWin32, ReplaceWithBackupKeepsTheOldFileAndTheStoredName) {
    Crear("Form1.frm", "viejo");
    Crear("Form1.frm.tmp_vorpel", "nuevo");
    std::string error;
    ASSERT_TRUE(archivos_->ReemplazarConRespaldo(carpeta_.Ruta("Form1.frm.tmp_vorpel"),
                                                 carpeta_.Ruta("form1.FRM"),
                                                 carpeta_.Ruta("Form1.frm.rollback_vorpel"), error))
        << error;
    EXPECT_EQ(Leer("Form1.frm"), "nuevo");
    EXPECT_EQ(Leer("Form1.frm.rollback_vorpel"), "viejo");
    EXPECT_FALSE(Existe(carpeta_.Ruta("Form1.frm.tmp_vorpel")));
    EXPECT_EQ(Listar("*.frm"), Nombres{"Form1.frm"});
}

TEST_F(ArchivosWin32, ReplaceWithBackupOnlyReplacesAnExistingFile) {
    Crear("x.tmp_vorpel", "nuevo");
    std::string error;
    EXPECT_FALSE(archivos_->ReemplazarConRespaldo(carpeta_.Ruta("x.tmp_vorpel"), carpeta_.Ruta("x"),
                                                  carpeta_.Ruta("x.rollback_vorpel"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Leer("x.tmp_vorpel"), "nuevo");
    EXPECT_FALSE(Existe(carpeta_.Ruta("x.rollback_vorpel")));
}

TEST_F(ArchivosWin32, CopyOfAReadOnlyFileIsNotReadOnly) {
    Crear("a.frm", "x");
    PonerAtributos("a.frm", FILE_ATTRIBUTE_READONLY);
    std::string error;
    ASSERT_TRUE(archivos_->Copiar(carpeta_.Ruta("a.frm"), carpeta_.Ruta("b.frm"), error)) << error;
    EXPECT_TRUE(Datos("a.frm").soloLectura);
    EXPECT_FALSE(Datos("b.frm").soloLectura);
    EXPECT_TRUE(archivos_->Sincronizar({carpeta_.Ruta("b.frm"), carpeta_.Ruta()}, error)) << error;
}

// --- Lookups ---

TEST_F(ArchivosWin32, HiddenAndSystemFilesExistButAreNotPlainFiles) {
    Crear("oculto.vbp");
    PonerAtributos("oculto.vbp", FILE_ATTRIBUTE_HIDDEN);
    Crear("sistema.vbp");
    PonerAtributos("sistema.vbp", FILE_ATTRIBUTE_SYSTEM);
    Crear("visible.vbp");

    EXPECT_TRUE(Datos("oculto.vbp").oculto);
    EXPECT_TRUE(Datos("sistema.vbp").oculto);
    EXPECT_FALSE(Datos("visible.vbp").oculto);
    EXPECT_EQ(Listar("*.vbp"), Nombres{"visible.vbp"});
}

TEST_F(ArchivosWin32, ReadOnlyAndArchiveFilesArePlainFiles) {
    Crear("solo_lectura.vbp");
    PonerAtributos("solo_lectura.vbp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    const DatosArchivo datos = Datos("solo_lectura.vbp");
    EXPECT_TRUE(datos.soloLectura);
    EXPECT_FALSE(datos.oculto);
    EXPECT_EQ(Listar("*.vbp"), Nombres{"solo_lectura.vbp"});
}

TEST_F(ArchivosWin32, PlainFileLookupGivesTheNameAsStoredOnDisk) {
    Crear("Proyecto Ventas.VBP", "12345");
    const DatosArchivo datos = Datos("proyecto ventas.vbp");
    EXPECT_EQ(datos.nombreEnDisco, "Proyecto Ventas.VBP");
    EXPECT_EQ(datos.tamano, 5u);
}

TEST_F(ArchivosWin32, FoldersAreNotFiles) {
    std::string error;
    ASSERT_TRUE(archivos_->CrearCarpeta(carpeta_.Ruta("sub.vbp"), error)) << error;
    EXPECT_FALSE(Existe(carpeta_.Ruta("sub.vbp")));
    EXPECT_EQ(Listar("*.vbp"), Nombres{});
}

TEST_F(ArchivosWin32, FolderExistsOnlyForFolders) {
    Crear("archivo.txt");
    EXPECT_TRUE(EsCarpeta(carpeta_.Ruta()));
    EXPECT_TRUE(EsCarpeta(carpeta_.Ruta() + "\\"));
    EXPECT_FALSE(EsCarpeta(carpeta_.Ruta("archivo.txt")));
    EXPECT_FALSE(EsCarpeta(carpeta_.Ruta("no_hay")));
    EXPECT_FALSE(EsCarpeta(""));
}

TEST_F(ArchivosWin32, DriveRootIsAFolder) {
    wchar_t sistema[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(sistema, MAX_PATH), 2u);
    const std::string raiz = Utf16AUtf8(std::wstring(sistema, 2)) + "\\";  // "C:\"
    EXPECT_TRUE(EsCarpeta(raiz));
}

// A drive whose root holds nothing at all must still count as present (the
// backup drive may be freshly formatted); a listing of it finds nothing, not
// even "." and "..".
TEST_F(ArchivosWin32, EmptyDriveRootIsAFolder) {
    // Wine cannot map a drive from inside the program; the test script maps one
    // in the prefix and names it here.
    wchar_t unidadDada[8] = {};
    if (GetEnvironmentVariableW(L"VORPEL_UNIDAD_VACIA", unidadDada, 8) == 2) {
        const std::string raiz = Utf16AUtf8(unidadDada) + "\\";
        EXPECT_TRUE(EsCarpeta(raiz));
        std::vector<std::string> nombres;
        std::string error;
        EXPECT_TRUE(archivos_->ListarArchivos(raiz, "*", nombres, error)) << error;
        EXPECT_TRUE(nombres.empty());
        return;
    }
    std::string error;
    ASSERT_TRUE(archivos_->CrearCarpeta(carpeta_.Ruta("vacia"), error)) << error;
    const std::wstring destino = Utf8AUtf16(carpeta_.Ruta("vacia"));
    std::wstring unidad;
    for (wchar_t letra = L'Y'; letra > L'M' && unidad.empty(); --letra) {
        const std::wstring candidata{letra, L':'};
        if (GetDriveTypeW((candidata + L"\\").c_str()) == DRIVE_NO_ROOT_DIR &&
            DefineDosDeviceW(0, candidata.c_str(), destino.c_str())) {
            unidad = candidata;
        }
    }
    if (unidad.empty()) GTEST_SKIP() << "no free drive letter could be mapped";
    const bool visible = GetDriveTypeW((unidad + L"\\").c_str()) != DRIVE_NO_ROOT_DIR;
    const bool existe = EsCarpeta(Utf16AUtf8(unidad) + "\\");
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, unidad.c_str(),
                     destino.c_str());
    if (!visible) GTEST_SKIP() << "the mapped drive is not visible to file operations";
    EXPECT_TRUE(existe);
}

// --- Listings ---

TEST_F(ArchivosWin32, ListingKeepsPlainFilesMatchingThePattern) {
    Crear("a.vbp");
    Crear("B.VBP");
    Crear("c.frm");
    EXPECT_EQ(Listar("*.vbp"), (Nombres{"B.VBP", "a.vbp"}));
    EXPECT_EQ(Listar("*"), (Nombres{"B.VBP", "a.vbp", "c.frm"}));
}

// "*.vbp" also matches the 8.3 short name of "Proyecto.vbp_old"; such a file
// is not a project.
TEST_F(ArchivosWin32, ListingIgnoresMatchesThroughTheShortName) {
    Crear("a.vbp");
    Crear("Proyecto.vbp_old");
    Crear("Ventas.vbproj");
    EXPECT_EQ(Listar("*.vbp"), Nombres{"a.vbp"});
    EXPECT_EQ(Listar("*.*"), (Nombres{"Proyecto.vbp_old", "Ventas.vbproj", "a.vbp"}));
}

TEST_F(ArchivosWin32, ListingWithNoMatchesIsAnEmptySuccess) {
    Crear("c.frm");
    EXPECT_EQ(Listar("*.vbp"), Nombres{});
}

TEST_F(ArchivosWin32, ListingAMissingFolderFails) {
    std::vector<std::string> nombres{"viejo"};
    std::string error;
    EXPECT_FALSE(archivos_->ListarArchivos(carpeta_.Ruta("no_hay"), "*.vbp", nombres, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(nombres.empty());
}

TEST_F(ArchivosWin32, ListingAFileAsAFolderFails) {
    Crear("a.vbp");
    std::vector<std::string> nombres;
    std::string error;
    EXPECT_FALSE(archivos_->ListarArchivos(carpeta_.Ruta("a.vbp"), "*.vbp", nombres, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ArchivosWin32, ListingAcceptsAFolderEndingInBackslash) {
    Crear("a.vbp");
    std::vector<std::string> nombres;
    std::string error;
    ASSERT_TRUE(archivos_->ListarArchivos(carpeta_.Ruta() + "\\", "*.vbp", nombres, error))
        << error;
    EXPECT_EQ(nombres, Nombres{"a.vbp"});
}

}  // namespace
}  // namespace vorpel
