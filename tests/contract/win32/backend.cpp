// Placeholder until the contract backend lands.
