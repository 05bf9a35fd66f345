#pragma once
// One look at a project-file line that the rewrite and the validation share:
// the key and the in-house line it is, computed once per line.

#include <string>
#include <string_view>

namespace vorpel {

enum class TipoLineaVbp {
    Otra,
    FenDrik,
    UCMorvan,      // under the OCXNEW path
    UCMorvan2013,  // under the old 2013 path
    PravixBarRep,
    PravixBar,
    ModuloPravixBar,
};

struct LineaClasificada {
    bool pravix2 = false;  // names the retired Pravix2 control anywhere in the line
    TipoLineaVbp tipo = TipoLineaVbp::Otra;
    std::string clave;  // ClaveDeLinea of the line
};

LineaClasificada ClasificarLineaVbp(std::string_view linea);

}  // namespace vorpel
