#include "app/cerrojo_comando.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "comando/mensajes.h"

namespace vorpel {

namespace {

constexpr std::chrono::milliseconds kIntervalo{100};

/// The line the lock file keeps: the command, its process and its start.
std::string DescribirTitular(Contexto& ctx, const std::string& comando) {
    if (ctx.entorno == nullptr) return comando;
    return comando + " (proceso " + std::to_string(ctx.entorno->IdProceso()) + ", desde " +
           ctx.entorno->TextoFechaHoraGeneral(ctx.entorno->FechaHoraLocal()) + ")";
}

}  // namespace

Mensaje MensajeCarpetaOcupada(const std::string& carpeta, const std::string& ocupadoPor) {
    Mensaje m;
    m.titulo = kTituloAplicacion;
    m.texto = "Otro comando de Vorpel esta trabajando en esta carpeta: " + carpeta + " - " +
              (ocupadoPor.empty() ? std::string("no se pudo leer cual") : ocupadoPor) +
              "\r\n\r\nNo se hizo nada. Vuelva a intentarlo cuando termine.";
    m.icono = Icono::Exclamacion;
    return m;
}

CerrojoDeComando::CerrojoDeComando(Contexto& ctx, const std::string& comando) : ctx_(ctx) {
    if (ctx_.cerrojoDev != nullptr || ctx_.vistaPrevia) {
        tomado_ = true;
        return;
    }
    const std::string descripcion = DescribirTitular(ctx_, comando);
    const auto espera = std::chrono::milliseconds(ctx_.rutas.esperaCerrojoMs);
    const auto inicio = std::chrono::steady_clock::now();
    std::string ocupadoPor;
    std::string error;
    for (;;) {
        cerrojo_ = ctx_.archivos.TomarCerrojo(ctx_.carpetaDev, descripcion, ocupadoPor, error);
        if (cerrojo_ || !error.empty()) break;
        const auto pasado = std::chrono::steady_clock::now() - inicio;
        if (pasado >= espera) break;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kIntervalo, espera - pasado));
    }
    if (!cerrojo_) {
        if (ctx_.dialogos != nullptr) {
            ctx_.dialogos->Mostrar(
                error.empty()
                    ? MensajeCarpetaOcupada(ctx_.carpetaDev, ocupadoPor)
                    : MensajeDeError("No se pudo reservar la carpeta DEV para el comando:",
                                     ctx_.carpetaDev, error));
        }
        return;
    }
    tomado_ = true;
    ctx_.cerrojoDev = cerrojo_.get();
    // What was learnt of the disk before may be out of date: the other
    // command may have been writing meanwhile.
    ctx_.archivos.OlvidarCache();
}

CerrojoDeComando::~CerrojoDeComando() {
    if (cerrojo_) ctx_.cerrojoDev = nullptr;
}

}  // namespace vorpel
