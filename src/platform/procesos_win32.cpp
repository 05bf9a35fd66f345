// Processes on Windows: each program runs in a job object of its own, so that
// a time-out kills it together with every process it started.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/plataforma_win32.h"
#include "platform/procesos.h"

namespace vorpel {
namespace {

// The processes of a killed job are waited for at most this long.
constexpr DWORD kEsperaMaximaTrabajoMs = 30000;

struct CerrarHandle {
    void operator()(HANDLE h) const {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, CerrarHandle>;

bool QuedanProcesosEnTrabajo(HANDLE trabajo) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(trabajo, JobObjectBasicAccountingInformation, &info,
                                   sizeof info, nullptr)) {
        return false;
    }
    return info.ActiveProcesses > 0;
}

void TerminarYEsperar(HANDLE trabajo, HANDLE proceso) {
    if (trabajo != nullptr) {
        TerminateJobObject(trabajo, 1);
    } else {
        TerminateProcess(proceso, 1);
    }
    WaitForSingleObject(proceso, kEsperaMaximaTrabajoMs);
    if (trabajo == nullptr) return;
    const ULONGLONG limite = GetTickCount64() + kEsperaMaximaTrabajoMs;
    while (QuedanProcesosEnTrabajo(trabajo) && GetTickCount64() < limite) Sleep(10);
}

}  // namespace

struct ProcesosWin32::Ejecucion {
    Handle trabajo;
    Handle proceso;
    bool enTrabajo = false;
    ULONGLONG limite = 0;  // GetTickCount64 value
};

ProcesosWin32::ProcesosWin32() = default;

ProcesosWin32::~ProcesosWin32() {
    while (!ejecuciones_.empty()) Detener(ejecuciones_.begin()->first);
}

bool ProcesosWin32::Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                            std::string& error) {
    auto ejecucion = std::make_unique<Ejecucion>();
    // Closing the job's last handle kills whatever is left in it, also when
    // this program ends first.
    ejecucion->trabajo.reset(CreateJobObjectW(nullptr, nullptr));
    if (ejecucion->trabajo) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limites{};
        limites.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(ejecucion->trabajo.get(), JobObjectExtendedLimitInformation,
                                &limites, sizeof limites);
    }

    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESHOWWINDOW;
    inicio.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION proceso{};
    // CreateProcessW may write into the command line: it gets a copy.
    std::wstring linea = Utf8AUtf16(lineaComando);
    // Suspended until it is in the job, so that its first children are too.
    if (!CreateProcessW(nullptr, linea.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &inicio, &proceso)) {
        error = DescribirErrorSistema(GetLastError());
        return false;
    }
    // The handle from the start: the process cannot vanish from under it,
    // and its id can never name another process meanwhile.
    ejecucion->proceso.reset(proceso.hProcess);
    Handle hilo(proceso.hThread);
    // Without a job (Windows 7 inside another job) the program alone is killed.
    ejecucion->enTrabajo =
        ejecucion->trabajo && AssignProcessToJobObject(ejecucion->trabajo.get(), proceso.hProcess);
    ResumeThread(hilo.get());
    ejecucion->limite = GetTickCount64() + esperaMs;
    id = siguiente_++;
    ejecuciones_[id] = std::move(ejecucion);
    return true;
}

Espera ProcesosWin32::EsperarAlguno(const std::vector<IdProceso>& ids,
                                    const std::function<bool()>& atenderMensajes, FinDeProceso& fin,
                                    std::string& error) {
    std::vector<HANDLE> handles;
    std::vector<Ejecucion*> esperados;
    for (const IdProceso id : ids) {
        const auto e = ejecuciones_.find(id);
        if (e == ejecuciones_.end()) break;
        handles.push_back(e->second->proceso.get());
        esperados.push_back(e->second.get());
    }
    if (esperados.empty() || esperados.size() != ids.size() ||
        handles.size() > static_cast<size_t>(kMaximoProcesosEnEspera)) {
        error = DescribirErrorSistema(ERROR_INVALID_PARAMETER);
        return Espera::Fallo;
    }
    const auto cantidad = static_cast<DWORD>(handles.size());
    auto terminado = [&](DWORD indice) {
        DWORD codigo = 0;
        GetExitCodeProcess(handles[indice], &codigo);
        fin = {ids[indice], FinProceso::Terminado, codigo};
        ejecuciones_.erase(ids[indice]);
        return Espera::Termino;
    };
    auto fallo = [&](DWORD numero) {
        for (const IdProceso id : ids) Detener(id);
        error = DescribirErrorSistema(numero);
        return Espera::Fallo;
    };
    for (;;) {
        // An ended program first: one that ended is never taken for one out of time.
        const DWORD ya = WaitForMultipleObjects(cantidad, handles.data(), FALSE, 0);
        if (ya < WAIT_OBJECT_0 + cantidad) return terminado(ya - WAIT_OBJECT_0);
        if (ya == WAIT_FAILED) return fallo(GetLastError());

        const ULONGLONG ahora = GetTickCount64();
        ULONGLONG limite = ~0ull;
        for (DWORD i = 0; i < cantidad; ++i) {
            if (esperados[i]->limite <= ahora) {
                Detener(ids[i]);
                fin = {ids[i], FinProceso::TiempoAgotado, 0};
                return Espera::Termino;
            }
            limite = std::min(limite, esperados[i]->limite);
        }
        const auto restante = static_cast<DWORD>(std::min<ULONGLONG>(limite - ahora, INFINITE - 1));
        // Sent messages (another program's SendMessage, WM_NULL included) are
        // input too: the window answers them while a compile runs.
        const DWORD espera =
            atenderMensajes ? MsgWaitForMultipleObjectsEx(cantidad, handles.data(), restante,
                                                          QS_ALLINPUT, MWMO_INPUTAVAILABLE)
                            : WaitForMultipleObjects(cantidad, handles.data(), FALSE, restante);
        if (espera < WAIT_OBJECT_0 + cantidad) return terminado(espera - WAIT_OBJECT_0);
        if (espera == WAIT_OBJECT_0 + cantidad) {
            if (!atenderMensajes()) return Espera::Interrumpida;
            continue;
        }
        if (espera == WAIT_FAILED) return fallo(GetLastError());
        // WAIT_TIMEOUT: the next round kills the one whose time ran out.
    }
}

void ProcesosWin32::Detener(IdProceso id) {
    const auto e = ejecuciones_.find(id);
    if (e == ejecuciones_.end()) return;
    Ejecucion& ejecucion = *e->second;
    TerminarYEsperar(ejecucion.enTrabajo ? ejecucion.trabajo.get() : nullptr,
                     ejecucion.proceso.get());
    ejecuciones_.erase(e);
}

}  // namespace vorpel
