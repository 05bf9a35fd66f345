#include "app/catalogo.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

using Nombres = std::vector<std::string>;

class Catalogo : public ::testing::Test {
protected:
    ArchivosFalsos archivos_;
    Contexto ctx_{archivos_, "C:\\dev"};
};

TEST_F(Catalogo, ListsPlainProjectFilesInListingOrderUnsorted) {
    archivos_.PonerArchivo("C:\\dev\\Zeta.vbp", "");
    archivos_.PonerArchivo("C:\\dev\\notas.txt", "");
    archivos_.PonerArchivo("C:\\dev\\alfa.VBP", "");
    archivos_.PonerArchivo("C:\\dev\\Oculto.vbp", "", {}, AtributosFalsos{true, false, false});
    archivos_.PonerArchivo("C:\\dev\\Sistema.vbp", "", {}, AtributosFalsos{false, true, false});
    archivos_.PonerArchivo("C:\\dev\\sub\\Dentro.vbp", "");
    archivos_.PonerCarpeta("C:\\dev\\Carpeta.vbp");
    archivos_.PonerArchivo("C:\\dev\\Medio.vbp", "");

    CatalogoProyectos catalogo{"Viejo.vbp"};
    std::string error;
    ASSERT_TRUE(CargarProyectos(ctx_, catalogo, error)) << error;
    EXPECT_EQ(catalogo, (Nombres{"Zeta.vbp", "alfa.VBP", "Medio.vbp"}));
}

TEST_F(Catalogo, EmptyDevFolderGivesEmptyCatalogueAndZeroCount) {
    archivos_.PonerCarpeta("C:\\dev");
    CatalogoProyectos catalogo{"Viejo.vbp"};
    std::string error;
    ASSERT_TRUE(CargarProyectos(ctx_, catalogo, error));
    EXPECT_TRUE(catalogo.empty());
    EXPECT_EQ(TextoContadorProyectos(FiltrarProyectos(catalogo, "").size()), "Proyectos (0)");
}

TEST_F(Catalogo, MissingDevFolderFailsAndLeavesNoStaleNames) {
    CatalogoProyectos catalogo{"Viejo.vbp"};
    std::string error;
    EXPECT_FALSE(CargarProyectos(ctx_, catalogo, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(catalogo.empty());
}

class FiltroProyectos : public ::testing::Test {
protected:
    const CatalogoProyectos catalogo_{"Ventas.vbp", "COMPRAS.vbp", "Año2024.vbp", "Stock.VBP",
                                      "ventas_old.vbp"};
};

TEST_F(FiltroProyectos, EmptyOrBlankSearchShowsEveryProjectInOrder) {
    EXPECT_EQ(FiltrarProyectos(catalogo_, ""), catalogo_);
    EXPECT_EQ(FiltrarProyectos(catalogo_, "    "), catalogo_);
}

TEST_F(FiltroProyectos, ExtensionOrPointShowsEveryProject) {
    EXPECT_EQ(FiltrarProyectos(catalogo_, "VBP"), catalogo_);
    EXPECT_EQ(FiltrarProyectos(catalogo_, "."), catalogo_);
}

TEST_F(FiltroProyectos, NoMatchGivesEmptyListAndZeroCount) {
    const Nombres visibles = FiltrarProyectos(catalogo_, "inexistente");
    EXPECT_TRUE(visibles.empty());
    EXPECT_EQ(TextoContadorProyectos(visibles.size()), "Proyectos (0)");
}

TEST_F(FiltroProyectos, IgnoresCaseOnBothSidesIncludingAccentedLetters) {
    EXPECT_EQ(FiltrarProyectos(catalogo_, "VENTAS"), (Nombres{"Ventas.vbp", "ventas_old.vbp"}));
    EXPECT_EQ(FiltrarProyectos(catalogo_, "compras"), (Nombres{"COMPRAS.vbp"}));
    EXPECT_EQ(FiltrarProyectos(catalogo_, "AÑO"), (Nombres{"Año2024.vbp"}));
    EXPECT_EQ(FiltrarProyectos(catalogo_, "año"), (Nombres{"Año2024.vbp"}));
}

TEST_F(FiltroProyectos, TrimsBlanksButKeepsInnerOnes) {
    EXPECT_EQ(FiltrarProyectos(catalogo_, "  stock  "), (Nombres{"Stock.VBP"}));
    EXPECT_TRUE(FiltrarProyectos(catalogo_, "ven tas").empty());
}

TEST_F(FiltroProyectos, CountCaptionCountsShownEntriesNotTheCatalogue) {
    EXPECT_EQ(TextoContadorProyectos(FiltrarProyectos(catalogo_, "ventas").size()),
              "Proyectos (2)");
    EXPECT_EQ(TextoContadorProyectos(12), "Proyectos (12)");
}

}  // namespace
}  // namespace vorpel
