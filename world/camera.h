// The camera passes (rings and visibility) and the two cameras: the game camera with its shake,
// and the front end's backdrop camera circling the arena.
#pragma once

extern float cameraShake; // strength of the game camera's shake; decays every frame
extern float orbitTime;   // the backdrop camera's clock, 30 s a circuit; never reset
extern float backdropCameraX, backdropCameraY, backdropViewAngle;

// No shake, and the shake's own random sequence from its start (a run's first frames shake the same
// every time).
void Camera_ResetShake();
// Writes the ring (Manhattan distance from the camera's cell) of every cell and live sprite.
void Camera_UpdateRings(float cameraX, float cameraY);
// Writes inView of every cell (any corner strictly inside the field of view) and live sprite
// (its centre within half the field of view plus its margin).
void Camera_UpdateVisibility(float cameraX, float cameraY, float viewAngle, float fieldOfView);
// The game camera: the view from (x, y) along angle, shaken by cameraShake.
void Camera_GameFrame(float x, float y, float angle, float fieldOfView);
// The backdrop camera: one step along its orbit, then the arena drawn from it.
void Camera_BackdropFrame(float fieldOfView);
