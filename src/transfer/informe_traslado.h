#pragma once
// The texts of a transfer: each file's line in the report box, each step's
// line in a preview, and the report itself.

#include <string>
#include <vector>

#include "platform/contexto.h"
#include "transfer/traslado.h"

namespace vorpel {

/// The detail lines of the files of a transfer, kept in the list's order
/// whatever order the steps finish in.
class DetalleTraslado {
public:
    explicit DetalleTraslado(size_t cantidad) : lineas_(cantidad) {}
    void Agregar(size_t i, const std::string& texto) { lineas_[i] += texto; }
    std::string Texto() const;

private:
    std::vector<std::string> lineas_;
};

/// A file not copied: "ERROR copiando <nombre>: <motivo>".
std::string LineaNoCopiado(const std::string& nombre, const std::string& motivo);
/// A file kept because the other side is newer, with both times.
std::string LineaMasNuevo(Contexto& ctx, bool traida, const std::string& nombre,
                          const FechaHora& origen, const FechaHora& dev);
/// A returned file whose DEV copy stays.
std::string LineaNoBorrado(const std::string& nombre, const std::string& motivo);

/// The report box's text of a run that went through its files.
std::string InformeTraida(const std::string& nombreProyecto, const ResultadoTraslado& r,
                          const std::string& detalles);
std::string InformeDevolucion(const std::string& nombreProyecto, const ResultadoTraslado& r,
                              const std::string& detalles);

/// A step's lines in a preview's account ("Se copiaria: ...").
std::vector<std::string> LineasDeVistaPrevia(Contexto& ctx, const PasoTraslado& paso);

}  // namespace vorpel
