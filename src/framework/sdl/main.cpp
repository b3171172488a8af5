#include "framework/Application.h"
#include "framework/sdl/EntryPoint.h"

int main(int argc, char** argv) {
    return framework::sdl::runApplication(argc, argv, framework::mainApplication());
}
