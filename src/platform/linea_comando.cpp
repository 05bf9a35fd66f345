// Windows command-line splitting, portable so that both builds can test it.

#include <string>
#include <vector>

#include "platform/procesos.h"

namespace vorpel {

std::vector<std::string> DividirLineaComandoWindows(const std::string& lineaComando) {
    std::vector<std::string> argumentos;
    size_t i = 0;
    const size_t n = lineaComando.size();
    auto esBlanco = [](char c) { return c == ' ' || c == '\t'; };

    // The program name is taken as it is: a backslash before a quote does not
    // escape it, since paths end in backslashes.
    std::string programa;
    if (i < n && lineaComando[i] == '"') {
        ++i;
        while (i < n && lineaComando[i] != '"') programa += lineaComando[i++];
        if (i < n) ++i;
    } else {
        while (i < n && !esBlanco(lineaComando[i])) programa += lineaComando[i++];
    }
    argumentos.push_back(programa);

    std::string actual;
    bool hayArgumento = false;
    size_t barras = 0;   // backslashes just before the current character
    int comillas = 0;    // 1 inside quotes
    while (i < n) {
        const char c = lineaComando[i];
        if (esBlanco(c) && comillas == 0) {
            if (hayArgumento) argumentos.push_back(actual);
            actual.clear();
            hayArgumento = false;
            barras = 0;
            ++i;
            continue;
        }
        hayArgumento = true;
        if (c == '\\') {
            actual += c;
            ++barras;
            ++i;
            continue;
        }
        if (c != '"') {
            actual += c;
            barras = 0;
            ++i;
            continue;
        }
        if (barras % 2 == 0) {
            // 2n backslashes and a quote: n backslashes, and the quote toggles.
            actual.resize(actual.size() - barras / 2);
            ++comillas;
        } else {
            // 2n+1 backslashes and a quote: n backslashes and a literal quote.
            actual.resize(actual.size() - barras / 2 - 1);
            actual += '"';
        }
        barras = 0;
        ++i;
        // Runs of quotes: every third one is literal ("""a""" gives "a").
        while (i < n && lineaComando[i] == '"') {
            if (++comillas == 3) {
                actual += '"';
                comillas = 0;
            }
            ++i;
        }
        if (comillas == 2) comillas = 0;
    }
    if (hayArgumento) argumentos.push_back(actual);
    return argumentos;
}

}  // namespace vorpel
