#include "frmfix/reescritura_formulario.h"

#include <vector>

#include "frmfix/busqueda_ascii.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

constexpr std::string_view kDeclaracion = "begin ";

// A line that, leading spaces aside, starts with "Begin ": the only lines the
// declaration rule may change (it looks at them closer itself).
bool EsDeclaracion(std::string_view linea) {
    size_t i = 0;
    while (i < linea.size() && linea[i] == ' ') ++i;
    return EmpiezaConAscii(linea.substr(i), kDeclaracion);
}

// Letters of the ANSI code page beyond ASCII: Latin-1 and Latin Extended
// (ñ, á, Š, Œ, ƒ…) and the ordinal and micro signs.
bool EsLetraNoAscii(char32_t c) {
    if (c == 0xAA || c == 0xB5 || c == 0xBA) return true;
    if (c == 0xD7 || c == 0xF7) return false;  // multiplication and division signs
    return c >= 0xC0 && c <= 0x24F;
}

// The code point that ends right before byte `pos` of the UTF-8 text.
char32_t CaracterAnterior(std::string_view texto, size_t pos) {
    size_t inicio = pos - 1;
    while (inicio > 0 && (static_cast<unsigned char>(texto[inicio]) & 0xC0) == 0x80) --inicio;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(texto[i]); };
    const unsigned char lider = byte(inicio);
    const size_t largo = pos - inicio;
    char32_t c = 0;
    if (lider < 0x80 || largo == 1) return lider;
    if ((lider & 0xE0) == 0xC0) c = lider & 0x1F;
    else if ((lider & 0xF0) == 0xE0) c = lider & 0x0F;
    else c = lider & 0x07;
    for (size_t i = inicio + 1; i < pos; ++i) c = (c << 6) | (byte(i) & 0x3F);
    return c;
}

// True when the character before `pos` would make the literal part of a longer identifier.
bool PegadoAIdentificador(std::string_view texto, size_t pos) {
    if (pos == 0) return false;
    const char32_t c = CaracterAnterior(texto, pos);
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    }
    return EsLetraNoAscii(c);
}

// One left-to-right pass replacing every free-standing occurrence of `literal`.
std::string ReemplazarLiteralLibre(std::string_view texto, std::string_view literal,
                                   std::string_view reemplazo) {
    const std::string buscado = MinusculasAscii(literal);
    std::string resultado;
    resultado.reserve(texto.size());
    size_t desde = 0;
    for (size_t pos = BuscarAscii(texto, buscado); pos != std::string_view::npos;
         pos = BuscarAscii(texto, buscado, desde)) {
        resultado.append(texto.substr(desde, pos - desde));
        if (PegadoAIdentificador(texto, pos)) {
            resultado.append(texto.substr(pos, literal.size()));
        } else {
            resultado.append(reemplazo);
        }
        desde = pos + literal.size();
    }
    resultado.append(texto.substr(desde));
    return resultado;
}

// Replaces every occurrence of `buscado` in `linea`, ignoring case.
std::string ReemplazarEnLinea(const std::string& linea, const std::string& buscado,
                              const std::string& reemplazo) {
    std::string resultado;
    size_t desde = 0;
    for (size_t pos = BuscarSinMayusculas(linea, buscado); pos != std::string::npos;
         pos = BuscarSinMayusculas(linea, buscado, desde)) {
        resultado.append(linea, desde, pos - desde);
        resultado.append(reemplazo);
        desde = pos + buscado.size();
    }
    resultado.append(linea, desde, std::string::npos);
    return resultado;
}

// The declaration rule of one type on one line, in place.
void CorregirPrefijoTipoEnLinea(std::string& linea, std::string_view prefijo,
                                std::string_view patron, std::string_view patronMinusculas) {
    const std::string_view t = Recortar(linea);
    if (!EmpiezaConAscii(t, kDeclaracion)) return;
    const size_t pos = BuscarAscii(t, patronMinusculas);
    if (pos == std::string_view::npos) return;
    const std::string_view prefijoViejo = t.substr(kDeclaracion.size(), pos - kDeclaracion.size());
    if (prefijoViejo.empty() || IgualesSinMayusculas(prefijoViejo, prefijo)) return;
    linea = ReemplazarEnLinea(linea, std::string(prefijoViejo) + std::string(patron),
                              std::string(prefijo) + std::string(patron));
}

/// Where a literal occurs in a whole text, searched through the text once
/// instead of once per line: the lines must be asked about in order.
class Apariciones {
public:
    Apariciones(std::string_view texto, std::string_view minusculas)
        : texto_(texto), literal_(minusculas), pos_(BuscarAscii(texto, minusculas)) {}

    /// True when the literal lies within the bytes [inicio, fin) of the text.
    bool En(size_t inicio, size_t fin) {
        if (pos_ != std::string_view::npos && pos_ < inicio) pos_ = BuscarAscii(texto_, literal_, inicio);
        return pos_ != std::string_view::npos && pos_ + literal_.size() <= fin;
    }

private:
    std::string_view texto_;
    std::string_view literal_;
    size_t pos_;
};

constexpr std::string_view kCabeceraCarga = "sub form_load()";

/// The load-handler rule, one line at a time: says whether the call must go
/// before the line about to be kept. `abreCarga` says whether the line holds
/// the handler's heading.
class GuardiaCargarSkin {
public:
    bool InsertarAntesDe(std::string_view linea, bool abreCarga) {
        if (!dentro_) {
            if (abreCarga) {
                dentro_ = true;
                llamadaVista_ = false;
            }
            return false;
        }
        // A commented-out call counts as present: the user chose to disable it.
        if (BuscarAscii(linea, "cargarskin") != std::string_view::npos) llamadaVista_ = true;
        if (!IgualAscii(Recortar(linea), "end sub")) return false;
        dentro_ = false;
        return !llamadaVista_;
    }

private:
    bool dentro_ = false;
    bool llamadaVista_ = false;
};

constexpr std::string_view kLlamadaCargarSkin = "    CargarSkin Me";

bool TieneOcxPropio(std::string_view linea) {
    for (const char* ocx : kOcxPropios) {
        if (BuscarAscii(linea, MinusculasAscii(ocx)) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

std::string CorregirTextoFormulario(std::string_view texto, std::string_view prefijo) {
    std::array<std::string, kTiposPropios.size()> patrones;
    std::array<std::string, kTiposPropios.size()> patronesMinusculas;
    for (size_t i = 0; i < kTiposPropios.size(); ++i) {
        patrones[i] = "." + std::string(kTiposPropios[i]);
        patronesMinusculas[i] = MinusculasAscii(patrones[i]);
    }
    const std::string prefijoTexto(prefijo);
    std::string resultado;
    resultado.reserve(texto.size() + 64);
    bool primera = true;
    const auto agregar = [&](std::string_view linea) {
        if (!primera) resultado += "\r\n";
        resultado += linea;
        primera = false;
    };
    GuardiaCargarSkin guardia;
    // Every compiled-control name ends in ".ocx": most lines need no look at them.
    Apariciones ocx(texto, ".ocx");
    Apariciones proyecto1(texto, "proyecto1.");
    Apariciones carga(texto, kCabeceraCarga);
    std::string linea;
    size_t desde = 0;
    // The rules one after another on each line give what they give one after
    // another on the whole text: none of them joins or splits lines.
    while (!texto.empty() && desde <= texto.size()) {
        size_t fin = texto.find("\r\n", desde);
        if (fin == std::string_view::npos) fin = texto.size();
        const std::string_view original = texto.substr(desde, fin - desde);
        const size_t inicio = desde;
        desde = fin + 2;
        if (ocx.En(inicio, fin) && TieneOcxPropio(original)) continue;
        std::string_view actual = original;
        if (proyecto1.En(inicio, fin)) {
            linea = ReemplazarLiteralLibre(original, "Proyecto1.FenDrik", prefijoTexto + ".FenDrik");
            linea = ReemplazarLiteralLibre(linea, "Proyecto1.Pravix", prefijoTexto + ".Pravix");
            actual = linea;
        }
        if (EsDeclaracion(actual)) {
            if (actual.data() != linea.data()) linea.assign(actual);
            for (size_t i = 0; i < kTiposPropios.size(); ++i) {
                CorregirPrefijoTipoEnLinea(linea, prefijo, patrones[i], patronesMinusculas[i]);
            }
            actual = linea;
        }
        // A line the rules changed is looked at as it now is.
        const bool abreCarga = actual.data() == original.data()
                                   ? carga.En(inicio, fin)
                                   : BuscarAscii(actual, kCabeceraCarga) != std::string_view::npos;
        if (guardia.InsertarAntesDe(actual, abreCarga)) agregar(kLlamadaCargarSkin);
        agregar(actual);
    }
    return resultado;
}

bool CorregirFormulario(Contexto& ctx, const std::string& ruta, const std::string& prefijo,
                        std::string& textoNuevo, bool& cambiado, bool& terminaConSalto,
                        std::string& error) {
    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, ruta, texto, salto, error)) return false;
    std::string nuevo = CorregirTextoFormulario(texto, prefijo);
    cambiado = nuevo != texto;
    textoNuevo = std::move(nuevo);
    terminaConSalto = salto;
    return true;
}

std::string ReemplazarPrefijoProyecto1(std::string_view texto, std::string_view prefijo) {
    const std::string prefijoTexto(prefijo);
    std::string resultado =
        ReemplazarLiteralLibre(texto, "Proyecto1.FenDrik", prefijoTexto + ".FenDrik");
    return ReemplazarLiteralLibre(resultado, "Proyecto1.Pravix", prefijoTexto + ".Pravix");
}

std::string CorregirPrefijoTipo(std::string_view texto, std::string_view prefijo,
                                std::string_view tipo) {
    const std::string patron = "." + std::string(tipo);
    const std::string patronMinusculas = MinusculasAscii(patron);
    ListaLineas lineas = DividirLineas(texto);
    for (std::string& linea : lineas) {
        CorregirPrefijoTipoEnLinea(linea, prefijo, patron, patronMinusculas);
    }
    return UnirLineas(lineas);
}

std::string AsegurarCargarSkin(std::string_view texto) {
    const ListaLineas lineas = DividirLineas(texto);
    ListaLineas resultado;
    resultado.reserve(lineas.size() + 4);
    GuardiaCargarSkin guardia;
    for (const std::string& linea : lineas) {
        const bool abreCarga = BuscarAscii(linea, kCabeceraCarga) != std::string_view::npos;
        if (guardia.InsertarAntesDe(linea, abreCarga)) resultado.emplace_back(kLlamadaCargarSkin);
        resultado.push_back(linea);
    }
    return UnirLineas(resultado);
}

}  // namespace vorpel
