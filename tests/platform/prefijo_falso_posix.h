#pragma once
// A scoped temporary folder holding a Wine prefix for the tests: drives C: and
// E: on two empty folders of its own, Z: on "/". Removed with everything in it
// at the end of the test, without following the drives' links.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "gtest/gtest.h"

namespace vorpel {

class PrefijoFalso {
public:
    PrefijoFalso() {
        const char* tmp = std::getenv("TMPDIR");
        std::string plantilla =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vorpel_prueba_XXXXXX";
        if (::mkdtemp(plantilla.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        // Resolved, so that paths compare equal to what realpath() gives.
        char real[PATH_MAX];
        raiz_ = ::realpath(plantilla.c_str(), real) != nullptr ? real : plantilla;
        CrearCarpeta("prefijo");
        CrearCarpeta("prefijo/dosdevices");
        CrearCarpeta("discoC");
        CrearCarpeta("discoE");
        EnlazarUnidad('c', Ruta("discoC"));
        EnlazarUnidad('e', Ruta("discoE"));
        EnlazarUnidad('z', "/");
    }

    ~PrefijoFalso() {
        if (!raiz_.empty()) {
            ::nftw(raiz_.c_str(), &BorrarEntrada, 16, FTW_DEPTH | FTW_PHYS);
        }
    }

    PrefijoFalso(const PrefijoFalso&) = delete;
    PrefijoFalso& operator=(const PrefijoFalso&) = delete;

    std::string Prefijo() const { return raiz_ + "/prefijo"; }
    std::string Ruta(const std::string& relativa) const { return raiz_ + "/" + relativa; }
    std::string Unidad(char letra) const {
        return Prefijo() + "/dosdevices/" + std::string(1, letra) + ":";
    }

    void CrearCarpeta(const std::string& relativa) const {
        ASSERT_EQ(::mkdir(Ruta(relativa).c_str(), 0777), 0) << relativa;
    }
    void CrearArchivo(const std::string& relativa, const std::string& bytes = "x") const {
        std::ofstream archivo(Ruta(relativa), std::ios::binary);
        archivo << bytes;
        ASSERT_TRUE(archivo.good()) << relativa;
    }
    void EnlazarUnidad(char letra, const std::string& destino) const {
        ASSERT_EQ(::symlink(destino.c_str(), Unidad(letra).c_str()), 0) << letra;
    }
    void QuitarUnidad(char letra) const { ASSERT_EQ(::unlink(Unidad(letra).c_str()), 0); }
    std::string Contenido(const std::string& relativa) const {
        std::ifstream archivo(Ruta(relativa), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(archivo), {});
    }
    bool Existe(const std::string& relativa) const {
        struct stat datos {};
        return ::lstat(Ruta(relativa).c_str(), &datos) == 0;
    }

private:
    static int BorrarEntrada(const char* ruta, const struct stat*, int, FTW*) {
        return std::remove(ruta);
    }

    std::string raiz_;
};

}  // namespace vorpel
