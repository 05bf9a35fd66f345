#pragma once
// The order in which the ticked projects are compiled: producers before
// their consumers, by levels, and within a level in ticked order.

#include <cstddef>
#include <string>
#include <vector>

#include "rebuild/grafo_proyectos.h"

namespace vorpel {

struct PlanRecompilacion {
    std::vector<size_t> marcados;  // graph positions, in ticked order
    /// The ticked projects out of every circle, in build order.
    std::vector<size_t> orden;
    /// Per graph position: its level from 1 (0: not ticked, or in a circle).
    std::vector<int> nivel;
    /// Per graph position: the ticked projects it waits for (its producers,
    /// or the nearest ticked ones behind unticked producers).
    std::vector<std::vector<size_t>> espera;
    /// Ticked consumers of unticked DEV projects: (consumer, producer).
    std::vector<std::pair<size_t, size_t>> sinMarcar;
};

PlanRecompilacion PlanearRecompilacion(const GrafoProyectos& grafo,
                                       const std::vector<size_t>& marcados);

/// The levels as project names, level 1 first.
std::vector<std::vector<std::string>> NivelesDePlan(const GrafoProyectos& grafo,
                                                    const PlanRecompilacion& plan);
/// The edges whose consumer is ticked, by consumer in ticked order.
std::vector<const AristaProyecto*> AristasDePlan(const GrafoProyectos& grafo,
                                                 const PlanRecompilacion& plan);

/// The plan as text, one line each: the levels, every edge of a ticked
/// consumer with its evidence (and those into an unticked project), the
/// ambiguities, the circles. `extra` lines go at the end (what would be
/// skipped).
std::vector<std::string> LineasDePlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan,
                                      const std::vector<std::string>& extra = {});
/// A Graphviz digraph of the ticked projects: exact edges solid, by-name
/// edges dashed, from producer to consumer.
std::string DotDePlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan);

}  // namespace vorpel
