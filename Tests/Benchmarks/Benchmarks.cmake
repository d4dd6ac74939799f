# The benchmarks (Tests/Benchmarks/): programs of their own that measure what
# the program's parts cost, run by hand (never tests: speed is measured here,
# not asserted). Included from Tests/CMakeLists.txt, so that they are built
# beside the test programs, in build/Tests/.
set(KX_BENCHMARKS ${CMAKE_CURRENT_LIST_DIR})

# What a transfer costs the engine against the simulated device:
#   wine build/Tests/TransferBenchmark.exe [records [payload bytes [send latency ms]]]
add_executable(TransferBenchmark ${KX_BENCHMARKS}/TransferBenchmark.cpp)
target_link_libraries(TransferBenchmark PRIVATE FirmwareUpdaterEngine Tavik8SimModel KXFramework winmm TestWindows)
kx_use_simulated_midi(TransferBenchmark)

# What one message costs the simulated device, without the engine:
#   wine build/Tests/SendBenchmark.exe [messages [send latency ms]]
add_executable(SendBenchmark ${KX_BENCHMARKS}/SendBenchmark.cpp)
target_link_libraries(SendBenchmark PRIVATE Tavik8SimModel winmm TestWindows)
kx_use_simulated_midi(SendBenchmark)

# What the GDI+ renderer costs per frame of the update screen's kind and per
# presented rectangle (needs a display):
#   wine build/Tests/RenderBenchmark.exe [frames [rectangles]]
add_executable(RenderBenchmark ${KX_BENCHMARKS}/RenderBenchmark.cpp)
target_link_libraries(RenderBenchmark PRIVATE KXFramework)

# What the control framework costs for the update screen made from the
# program's skin and drawn off-screen:
#   wine build/Tests/ScreenBenchmark.exe [rounds]
add_executable(ScreenBenchmark ${KX_BENCHMARKS}/ScreenBenchmark.cpp KXFramework/ControlLooks/ControlLooksTests.rc)
target_link_libraries(ScreenBenchmark PRIVATE KXFramework gtest)
target_include_directories(ScreenBenchmark PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${KX_PROGRAM_RESOURCE_FOLDER})

# What the update screen costs in the real program (needs a display): start
# to the first painted screen, an idle window, a transfer with and without
# the window, and the area a progress step repaints:
#   wine build/Tests/UpdateScreenBenchmark.exe [records [payload bytes]]
if(TARGET FirmwareUpdater)
    add_executable(UpdateScreenBenchmark ${KX_BENCHMARKS}/UpdateScreenBenchmark.cpp)
    kx_add_update_screen_resources(UpdateScreenBenchmark)
    target_link_libraries(UpdateScreenBenchmark PRIVATE FirmwareUpdaterUI Tavik8SimModel KXFramework winmm TestWindows)
    target_include_directories(UpdateScreenBenchmark PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_options(UpdateScreenBenchmark PRIVATE -municode)
    kx_use_simulated_midi(UpdateScreenBenchmark)
    add_dependencies(UpdateScreenBenchmark FirmwareUpdater)
endif()
