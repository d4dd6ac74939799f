# Expat and FreeType, cross-built by scripts/setup into KX_DEPS.
set(KX_DEPS "/var/cache/tavik8-deps/install" CACHE PATH "Where scripts/setup installed Expat and FreeType")

if(NOT EXISTS "${KX_DEPS}/lib/libexpat.a" OR NOT EXISTS "${KX_DEPS}/lib/libfreetype.a")
    message(FATAL_ERROR "Expat and FreeType are missing from ${KX_DEPS}: run scripts/setup")
endif()

add_library(KX::Expat STATIC IMPORTED GLOBAL)
set_target_properties(KX::Expat PROPERTIES
    IMPORTED_LOCATION "${KX_DEPS}/lib/libexpat.a"
    INTERFACE_INCLUDE_DIRECTORIES "${KX_DEPS}/include"
    INTERFACE_COMPILE_DEFINITIONS XML_STATIC)

add_library(KX::FreeType STATIC IMPORTED GLOBAL)
set_target_properties(KX::FreeType PROPERTIES
    IMPORTED_LOCATION "${KX_DEPS}/lib/libfreetype.a"
    INTERFACE_INCLUDE_DIRECTORIES "${KX_DEPS}/include/freetype2")
