#pragma once
// The boxes every command shows: its error, its report, its questions.

#include <string>

#include "platform/dialogos.h"

namespace vorpel {

inline const char* SiNo(bool valor) { return valor ? "Si" : "No"; }

/// The error box of every command: what failed, the project, an empty line
/// and the detail.
inline Mensaje MensajeDeError(const std::string& encabezado, const std::string& rutaProyecto,
                              const std::string& descripcion) {
    Mensaje m;
    m.titulo = "Vorpel";
    m.texto = encabezado + "\r\n" + rutaProyecto + "\r\n\r\nDetalle: " + descripcion;
    m.icono = Icono::Critico;
    return m;
}

/// An information box with an OK button.
inline Mensaje MensajeInformativo(const std::string& titulo, const std::string& texto) {
    Mensaje m;
    m.titulo = titulo;
    m.texto = texto;
    m.icono = Icono::Informacion;
    return m;
}

/// A question answered Yes or No, No unless the user says otherwise.
inline Mensaje PreguntaSiNo(const std::string& titulo, const std::string& texto, Icono icono) {
    Mensaje m;
    m.titulo = titulo;
    m.texto = texto;
    m.icono = icono;
    m.botones = Botones::SiNo;
    m.porDefecto = Respuesta::No;
    return m;
}

}  // namespace vorpel
