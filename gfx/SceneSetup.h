#pragma once

// The resting GL state every drawing routine assumes and restores: smooth
// shading, black clear colour, depth test with GL_LEQUAL, additive blend
// function with blending off, 2D texturing, two lights and colour material.
// Run once with the context current and the modelview the identity, so that
// the light positions are in eye coordinates.
void ApplyRestingGlState();

// Viewport and 45-degree perspective for a client area; a height of 0 counts
// as 1. Leaves the matrix mode at GL_MODELVIEW with the identity loaded.
void ApplyProjection(int width, int height);
