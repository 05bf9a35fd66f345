#pragma once
// Generated test inputs: a fixed sequence, so that a failing case comes back
// the same on every run and on both builds.

#include <string>
#include <utility>
#include <vector>

namespace vorpel {

/// Texts made of `piezas` picked by a fixed sequence, 1 to `maximo` of them.
class Generador {
public:
    Generador(std::vector<std::string> piezas, unsigned semilla)
        : piezas_(std::move(piezas)), semilla_(semilla) {}
    std::string Texto(int maximo) {
        std::string texto;
        const int largo = 1 + static_cast<int>(Siguiente() % maximo);
        for (int i = 0; i < largo; ++i) texto += piezas_[Siguiente() % piezas_.size()];
        return texto;
    }
    unsigned Siguiente() {
        semilla_ = semilla_ * 1103515245u + 12345u;
        return semilla_ >> 16;
    }

private:
    std::vector<std::string> piezas_;
    unsigned semilla_;
};

}  // namespace vorpel
