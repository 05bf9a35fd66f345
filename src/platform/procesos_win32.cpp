// Processes on Windows: the program runs in a job object, so that a time-out
// kills it together with every process it started.

#include <memory>
#include <string>

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

bool ProcesosWin32::EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs,
                                     FinProceso& fin, std::string& error) {
    // Killing the job's last handle kills whatever is left in it, also
    // when this program ends first.
    Handle trabajo(CreateJobObjectW(nullptr, nullptr));
    if (trabajo) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limites{};
        limites.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(trabajo.get(), JobObjectExtendedLimitInformation, &limites,
                                sizeof limites);
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
    Handle handleProceso(proceso.hProcess);
    Handle hilo(proceso.hThread);
    // Without a job (Windows 7 inside another job) the program alone is killed.
    const bool enTrabajo =
        trabajo && AssignProcessToJobObject(trabajo.get(), handleProceso.get());
    ResumeThread(hilo.get());

    const DWORD espera = WaitForSingleObject(handleProceso.get(), esperaMs);
    if (espera == WAIT_OBJECT_0) {
        fin = FinProceso::Terminado;
        return true;
    }
    if (espera == WAIT_FAILED) {
        const DWORD codigo = GetLastError();
        TerminarYEsperar(enTrabajo ? trabajo.get() : nullptr, handleProceso.get());
        error = DescribirErrorSistema(codigo);
        return false;
    }
    TerminarYEsperar(enTrabajo ? trabajo.get() : nullptr, handleProceso.get());
    fin = FinProceso::TiempoAgotado;
    return true;
}

}  // namespace vorpel
