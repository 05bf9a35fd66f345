#pragma once
// Every message box of the system goes through this interface: the real
// Win32 one, a printing one for the command line, a recording one for tests.

#include <string>

namespace vorpel {

enum class Icono { Informacion, Exclamacion, Critico, Pregunta };
enum class Botones { Aceptar, SiNo };
enum class Respuesta { Aceptar, Si, No };

struct Mensaje {
    std::string titulo;
    std::string texto;  // lines separated by CRLF
    Icono icono = Icono::Informacion;
    Botones botones = Botones::Aceptar;
    Respuesta porDefecto = Respuesta::Aceptar;
};

class Dialogos {
public:
    virtual ~Dialogos() = default;
    virtual Respuesta Mostrar(const Mensaje& mensaje) = 0;
    /// A long text to read (a preview's diffs): read-only, in a fixed-width
    /// font where there is a window. Unless a backend has its own, an
    /// information box.
    virtual void MostrarTexto(const std::string& titulo, const std::string& texto) {
        Mensaje m;
        m.titulo = titulo;
        m.texto = texto;
        Mostrar(m);
    }
};

}  // namespace vorpel
