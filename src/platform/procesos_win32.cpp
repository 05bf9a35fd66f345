// Processes on Windows: each program runs in a job object of its own, so that
// a time-out kills it together with every process it started.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/plataforma_win32.h"
#include "platform/procesos.h"

#include <tlhelp32.h>

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

ULONGLONG CreadoEn(HANDLE proceso) {
    FILETIME creado{}, fin{}, nucleo{}, usuario{};
    if (!GetProcessTimes(proceso, &creado, &fin, &nucleo, &usuario)) return 0;
    return (static_cast<ULONGLONG>(creado.dwHighDateTime) << 32) | creado.dwLowDateTime;
}

/// The processes the program started, and theirs, found through their parent's
/// id. A child is taken only when it was created after its parent: an id of an
/// ended process can be given to a new one.
std::vector<DWORD> DescendientesDe(HANDLE proceso) {
    std::vector<DWORD> arbol{GetProcessId(proceso)};
    std::vector<ULONGLONG> creados{CreadoEn(proceso)};
    Handle foto(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (foto.get() == INVALID_HANDLE_VALUE) return arbol;
    std::vector<PROCESSENTRY32W> todos;
    PROCESSENTRY32W entrada{};
    entrada.dwSize = sizeof entrada;
    for (BOOL hay = Process32FirstW(foto.get(), &entrada); hay;
         hay = Process32NextW(foto.get(), &entrada)) {
        todos.push_back(entrada);
    }
    // Each round adds the children of the processes found so far.
    for (size_t visto = 0; visto < arbol.size(); ++visto) {
        for (const PROCESSENTRY32W& p : todos) {
            if (p.th32ParentProcessID != arbol[visto] ||
                std::find(arbol.begin(), arbol.end(), p.th32ProcessID) != arbol.end()) {
                continue;
            }
            Handle hijo(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, p.th32ProcessID));
            const ULONGLONG creado = hijo ? CreadoEn(hijo.get()) : 0;
            if (creado == 0 || creado < creados[visto]) continue;
            arbol.push_back(p.th32ProcessID);
            creados.push_back(creado);
        }
    }
    return arbol;
}

void TerminarYEsperar(HANDLE trabajo, HANDLE proceso) {
    if (trabajo != nullptr) {
        TerminateJobObject(trabajo, 1);
    } else {
        // Without a job the tree is found by its parents' ids, before the
        // program's end can hand its id to another process.
        const std::vector<DWORD> arbol = DescendientesDe(proceso);
        TerminateProcess(proceso, 1);
        for (size_t i = 1; i < arbol.size(); ++i) {
            Handle otro(OpenProcess(PROCESS_TERMINATE, FALSE, arbol[i]));
            if (otro) TerminateProcess(otro.get(), 1);
        }
    }
    WaitForSingleObject(proceso, kEsperaMaximaTrabajoMs);
    if (trabajo == nullptr) return;
    const ULONGLONG limite = GetTickCount64() + kEsperaMaximaTrabajoMs;
    while (QuedanProcesosEnTrabajo(trabajo) && GetTickCount64() < limite) Sleep(10);
}

// Dialogs are looked for this often while they are watched.
constexpr DWORD kPasoVigilanciaMs = 500;
// A dialog's text is asked with this time-out: a hung program must not hang us.
constexpr UINT kEsperaTextoMs = 500;

/// The ids of every process in the job and of every process the program
/// started: a job that lists only some of them, or none, still finds a dialog
/// of a child.
std::vector<DWORD> ProcesosDe(HANDLE trabajo, HANDLE proceso) {
    std::vector<DWORD> ids = DescendientesDe(proceso);
    if (trabajo != nullptr) {
        struct {
            JOBOBJECT_BASIC_PROCESS_ID_LIST lista;
            ULONG_PTR mas[255];
        } datos{};
        datos.lista.NumberOfAssignedProcesses = 256;
        if (QueryInformationJobObject(trabajo, JobObjectBasicProcessIdList, &datos, sizeof datos,
                                      nullptr)) {
            for (DWORD i = 0; i < datos.lista.NumberOfProcessIdsInList; ++i) {
                const auto id = static_cast<DWORD>(datos.lista.ProcessIdList[i]);
                if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            }
        }
    }
    return ids;
}

bool EsDialogo(HWND ventana) {
    wchar_t clase[16] = {};
    return GetClassNameW(ventana, clase, 16) > 0 && std::wstring_view(clase) == L"#32770";
}

/// The visible top-level dialogs of those processes.
std::vector<HWND> DialogosVisibles(const std::vector<DWORD>& ids) {
    struct Busqueda {
        const std::vector<DWORD>* ids;
        std::vector<HWND> halladas;
    } busqueda{&ids, {}};
    EnumWindows(
        [](HWND ventana, LPARAM datos) -> BOOL {
            auto& b = *reinterpret_cast<Busqueda*>(datos);
            DWORD id = 0;
            GetWindowThreadProcessId(ventana, &id);
            if (std::find(b.ids->begin(), b.ids->end(), id) != b.ids->end() &&
                IsWindowVisible(ventana) && EsDialogo(ventana)) {
                b.halladas.push_back(ventana);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&busqueda));
    return busqueda.halladas;
}

/// A window's text, asked of its own thread: GetWindowText does not read the
/// controls of another process.
std::string TextoDe(HWND ventana) {
    DWORD_PTR largo = 0;
    if (!SendMessageTimeoutW(ventana, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kEsperaTextoMs,
                             &largo) ||
        largo == 0) {
        return {};
    }
    std::wstring texto(largo + 1, L'\0');
    DWORD_PTR leidos = 0;
    if (!SendMessageTimeoutW(ventana, WM_GETTEXT, largo + 1, reinterpret_cast<LPARAM>(texto.data()),
                             SMTO_ABORTIFHUNG, kEsperaTextoMs, &leidos)) {
        return {};
    }
    texto.resize(leidos);
    return Utf16AUtf8(texto);
}

/// "caption: text / text": the dialog's caption, then the texts of its static
/// texts, then those of its buttons (what it says before what it asks).
std::string LeerDialogo(HWND dialogo) {
    struct Textos {
        std::vector<std::string> estaticos, botones;
    } textos;
    EnumChildWindows(
        dialogo,
        [](HWND hijo, LPARAM datos) -> BOOL {
            wchar_t clase[16] = {};
            GetClassNameW(hijo, clase, 16);
            const std::wstring_view c(clase);
            auto& t = *reinterpret_cast<Textos*>(datos);
            std::vector<std::string>* destino =
                c == L"Static" ? &t.estaticos : c == L"Button" ? &t.botones : nullptr;
            if (destino == nullptr) return TRUE;
            std::string texto = TextoDe(hijo);
            if (!texto.empty()) destino->push_back(std::move(texto));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&textos));
    std::string unidos;
    for (const auto* lista : {&textos.estaticos, &textos.botones}) {
        for (const std::string& t : *lista) unidos += (unidos.empty() ? "" : " / ") + t;
    }
    return TextoDe(dialogo) + ": " + unidos;
}

}  // namespace

struct ProcesosWin32::Ejecucion {
    Handle trabajo;
    Handle proceso;
    bool enTrabajo = false;
    ULONGLONG limite = 0;  // GetTickCount64 value
    std::map<HWND, ULONGLONG> vistos;  // each dialog seen, with when it was first
};

bool ProcesosWin32::VigilarDialogos(uint32_t segundos) {
    vigilanciaMs_ = static_cast<ULONGLONG>(segundos) * 1000;
    return true;
}

std::string ProcesosWin32::DialogoQueQuedo(Ejecucion& e, ULONGLONG ahora) {
    const std::vector<HWND> visibles =
        DialogosVisibles(ProcesosDe(e.enTrabajo ? e.trabajo.get() : nullptr, e.proceso.get()));
    std::map<HWND, ULONGLONG> siguen;
    for (const HWND d : visibles) {
        const auto visto = e.vistos.find(d);
        const ULONGLONG desde = visto != e.vistos.end() ? visto->second : ahora;
        if (ahora - desde >= vigilanciaMs_) return LeerDialogo(d);
        siguen[d] = desde;
    }
    e.vistos.swap(siguen);
    return {};
}

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
        fin = {ids[indice], FinProceso::Terminado, codigo, {}};
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
                fin = {ids[i], FinProceso::TiempoAgotado, 0, {}};
                if (vigilanciaMs_ > 0) {
                    Ejecucion& e = *esperados[i];
                    for (const HWND d : DialogosVisibles(ProcesosDe(
                             e.enTrabajo ? e.trabajo.get() : nullptr, e.proceso.get()))) {
                        fin.dialogos += (fin.dialogos.empty() ? "" : "\r\n") + LeerDialogo(d);
                    }
                }
                Detener(ids[i]);
                return Espera::Termino;
            }
            if (vigilanciaMs_ > 0) {
                std::string dialogo = DialogoQueQuedo(*esperados[i], ahora);
                if (!dialogo.empty()) {
                    fin = {ids[i], FinProceso::Dialogo, 0, std::move(dialogo)};
                    Detener(ids[i]);
                    return Espera::Termino;
                }
                limite = std::min(limite, ahora + kPasoVigilanciaMs);
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
