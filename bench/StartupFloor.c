/* The floor under the game's start-up: a program that does nothing but open
 * a fullscreen 640 x 480 SDL window with a GL context and present one
 * cleared frame. It writes the same "first-frame" line as the game's trace
 * (to the file CHRISTMAS_PEGS_TRACE names) once that frame is swapped, then
 * waits to be ended, so that bench/process-figures can time both alike. */
#include <SDL.h>
#include <SDL_opengl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(void) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    fprintf(stderr, "startup-floor: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 640, 480,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN);
  SDL_GLContext context = window != NULL ? SDL_GL_CreateContext(window) : NULL;
  if (context == NULL) {
    fprintf(stderr, "startup-floor: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SDL_GL_SwapWindow(window);

  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const char* target = getenv("CHRISTMAS_PEGS_TRACE");
  FILE* trace = target != NULL && *target != '\0' ? fopen(target, "w") : NULL;
  if (trace != NULL) {
    fprintf(trace, "first-frame %.6f\n", (double)now.tv_sec + (double)now.tv_nsec / 1e9);
    fclose(trace);
  }

  /* Stay on screen until closed, as the game would. */
  SDL_Event event;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
  }
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
