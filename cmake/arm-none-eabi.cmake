# Cross-compiles the terminal-side libraries for the ARM7 target (compile and
# archive only; the image is linked by armbuild on the office PC).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
set(CMAKE_AR arm-none-eabi-ar)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_C_FLAGS_INIT "-mcpu=arm7tdmi -marm")
set(CMAKE_CXX_FLAGS_INIT "-mcpu=arm7tdmi -marm")
set(QZ_ARM ON CACHE BOOL "building for the ARM7 terminal" FORCE)
