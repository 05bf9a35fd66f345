#include "preview/diferencias.h"

#include <algorithm>

#include "platform/texto.h"

namespace vorpel {

namespace {

/// Past this many differences the edit is not searched for: the search's
/// memory grows with their square.
constexpr long kMaximoDiferencias = 2000;

enum class TipoLinea : char { Igual = ' ', Quitada = '-', Agregada = '+' };

struct Paso {
    TipoLinea tipo;
    const std::string* texto;
};

/// Myers' shortest edit between a[0, n) and b[0, m); false when it needs
/// more than kMaximoDiferencias differences.
bool EdicionMinima(const std::string* a, long n, const std::string* b, long m,
                   std::vector<Paso>& pasos) {
    const long maximo = std::min(n + m, kMaximoDiferencias);
    std::vector<long> v(static_cast<size_t>(2 * maximo + 3), 0);
    const auto V = [&](long k) -> long& { return v[static_cast<size_t>(k + maximo + 1)]; };
    std::vector<std::vector<long>> rastro;  // v for k in [-d, d] after each d
    long dFinal = -1;
    for (long d = 0; d <= maximo && dFinal < 0; ++d) {
        for (long k = -d; k <= d; k += 2) {
            long x = (k == -d || (k != d && V(k - 1) < V(k + 1))) ? V(k + 1) : V(k - 1) + 1;
            long y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            V(k) = x;
            if (x >= n && y >= m) dFinal = d;
        }
        std::vector<long> copia(static_cast<size_t>(2 * d + 1));
        for (long k = -d; k <= d; ++k) copia[static_cast<size_t>(k + d)] = V(k);
        rastro.push_back(std::move(copia));
    }
    if (dFinal < 0) return false;
    std::vector<Paso> alReves;
    long x = n, y = m;
    for (long d = dFinal; d > 0; --d) {
        const std::vector<long>& previo = rastro[static_cast<size_t>(d - 1)];
        const auto P = [&](long k) { return previo[static_cast<size_t>(k + d - 1)]; };
        const long k = x - y;
        const long kPrevio = (k == -d || (k != d && P(k - 1) < P(k + 1))) ? k + 1 : k - 1;
        const long xPrevio = P(kPrevio);
        const long yPrevio = xPrevio - kPrevio;
        while (x > xPrevio && y > yPrevio) {
            alReves.push_back({TipoLinea::Igual, &a[--x]});
            --y;
        }
        if (x == xPrevio) {
            alReves.push_back({TipoLinea::Agregada, &b[--y]});
        } else {
            alReves.push_back({TipoLinea::Quitada, &a[--x]});
        }
    }
    while (x > 0 && y > 0) {
        alReves.push_back({TipoLinea::Igual, &a[--x]});
        --y;
    }
    pasos.insert(pasos.end(), alReves.rbegin(), alReves.rend());
    return true;
}

std::string Rango(size_t inicio, size_t cantidad) {
    if (cantidad == 1) return std::to_string(inicio);
    return std::to_string(cantidad == 0 ? inicio - 1 : inicio) + "," + std::to_string(cantidad);
}

}  // namespace

std::vector<std::string> LineasDeBytes(std::string_view bytes) {
    const std::string texto = BytesATexto(bytes);
    std::vector<std::string> lineas;
    size_t inicio = 0;
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] != '\r' && texto[i] != '\n') continue;
        lineas.push_back(texto.substr(inicio, i - inicio));
        if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
        inicio = i + 1;
    }
    if (inicio < texto.size()) lineas.push_back(texto.substr(inicio));
    return lineas;
}

std::vector<std::string> DiferenciaUnificada(const std::vector<std::string>& antes,
                                             const std::vector<std::string>& despues,
                                             size_t contexto) {
    // The common start and end need no search.
    size_t comunInicio = 0;
    while (comunInicio < antes.size() && comunInicio < despues.size() &&
           antes[comunInicio] == despues[comunInicio]) {
        ++comunInicio;
    }
    size_t comunFin = 0;
    while (comunFin < antes.size() - comunInicio && comunFin < despues.size() - comunInicio &&
           antes[antes.size() - 1 - comunFin] == despues[despues.size() - 1 - comunFin]) {
        ++comunFin;
    }
    if (comunInicio == antes.size() && comunInicio == despues.size()) return {};

    std::vector<Paso> pasos;
    for (size_t i = 0; i < comunInicio; ++i) pasos.push_back({TipoLinea::Igual, &antes[i]});
    const long n = static_cast<long>(antes.size() - comunInicio - comunFin);
    const long m = static_cast<long>(despues.size() - comunInicio - comunFin);
    if (!EdicionMinima(antes.data() + comunInicio, n, despues.data() + comunInicio, m, pasos)) {
        for (long i = 0; i < n; ++i) {
            pasos.push_back({TipoLinea::Quitada, &antes[comunInicio + static_cast<size_t>(i)]});
        }
        for (long i = 0; i < m; ++i) {
            pasos.push_back({TipoLinea::Agregada, &despues[comunInicio + static_cast<size_t>(i)]});
        }
    }
    for (size_t i = antes.size() - comunFin; i < antes.size(); ++i) {
        pasos.push_back({TipoLinea::Igual, &antes[i]});
    }

    // Hunks: changes less than two contexts apart share one.
    std::vector<std::string> lineas;
    size_t lineaAntes = 1, lineaDespues = 1;  // of pasos[i]
    size_t i = 0;
    while (i < pasos.size()) {
        size_t cambio = i;
        while (cambio < pasos.size() && pasos[cambio].tipo == TipoLinea::Igual) ++cambio;
        if (cambio == pasos.size()) break;
        const size_t desde = cambio > i + contexto ? cambio - contexto : i;
        for (size_t j = i; j < desde; ++j) {
            ++lineaAntes;
            ++lineaDespues;
        }
        size_t hasta = cambio;  // one past the hunk's last change
        for (size_t j = cambio; j < pasos.size(); ++j) {
            if (pasos[j].tipo != TipoLinea::Igual) {
                hasta = j + 1;
            } else if (j - hasta + 1 > 2 * contexto) {
                break;
            }
        }
        const size_t fin = std::min(pasos.size(), hasta + contexto);
        size_t cuentaAntes = 0, cuentaDespues = 0;
        std::vector<std::string> cuerpo;
        for (size_t j = desde; j < fin; ++j) {
            if (pasos[j].tipo != TipoLinea::Agregada) ++cuentaAntes;
            if (pasos[j].tipo != TipoLinea::Quitada) ++cuentaDespues;
            cuerpo.push_back(static_cast<char>(pasos[j].tipo) + *pasos[j].texto);
        }
        lineas.push_back("@@ -" + Rango(lineaAntes, cuentaAntes) + " +" +
                         Rango(lineaDespues, cuentaDespues) + " @@");
        lineas.insert(lineas.end(), cuerpo.begin(), cuerpo.end());
        lineaAntes += cuentaAntes;
        lineaDespues += cuentaDespues;
        i = fin;
    }
    return lineas;
}

}  // namespace vorpel
